// The bytes of a text the program holds: in memory of its own, or mapped from a file.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "base/file_mapping.h"

namespace lintaro {

// A text of bytes that may be changed in place and shortened, never lengthened. Either it owns
// a string, or it views a private mapping of a file (see FileMapping), which costs no copy.
class TextBuffer {
  public:
    TextBuffer() = default;
    explicit TextBuffer(std::string bytes) : owned_(std::move(bytes)) {}
    explicit TextBuffer(FileMapping mapping)
        : mapping_(std::move(mapping)), mapped_size_(mapping_.Size()) {}

    std::string_view View() const {
        return IsMapped() ? std::string_view(mapping_.Data(), mapped_size_) : owned_;
    }
    char* MutableData() { return IsMapped() ? mapping_.Data() : owned_.data(); }
    std::size_t Size() const { return IsMapped() ? mapped_size_ : owned_.size(); }
    bool IsMapped() const { return mapping_.Data() != nullptr; }
    // Keeps the first size bytes; size must not exceed Size().
    void ShrinkTo(std::size_t size);
    // Whether the file under a mapped text shrank and some of its pages read as zeros (see
    // FileMapping::PagesLost).
    bool PagesLost() const { return mapping_.PagesLost(); }
    // Where the text's lost pages begin as far as reads have found them, or Size() (see
    // FileMapping::LostFrom).
    std::size_t LostFrom() const {
        return IsMapped() ? std::min(mapping_.LostFrom(), mapped_size_) : Size();
    }

  private:
    std::string owned_;
    FileMapping mapping_;
    std::size_t mapped_size_ = 0;
};

}  // namespace lintaro
