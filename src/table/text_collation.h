// How the sort operation orders texts: as a locale collates them. The table layer only
// knows this interface; the window gives it QCollator's order, the batch program the C
// library's, so the table needs no Qt.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lintaro {

class TextCollation {
  public:
    virtual ~TextCollation() = default;
    // Prepares texts (program text) for Less. Each text is collated once here into a key, so
    // that a sort of a million rows compares keys rather than collating texts again and again.
    virtual void Prepare(std::span<const std::string_view> texts) = 0;
    // Whether texts[a] comes before texts[b], of the texts last prepared; called from several
    // threads at once.
    virtual bool Less(std::size_t a, std::size_t b) const = 0;
};

// The C library's collation of the user's LC_COLLATE (strxfrm keys), whatever the program
// itself set with setlocale.
class CLibraryCollation : public TextCollation {
  public:
    void Prepare(std::span<const std::string_view> texts) override;
    bool Less(std::size_t a, std::size_t b) const override;

  private:
    // Where the locale orders texts as their bytes (C, POSIX, C.UTF-8: code point order), the
    // texts are their own keys, copied side by side.
    bool by_bytes_ = false;
    std::string copies_;
    std::vector<std::size_t> copy_at_;  // where each text's copy starts; one more: the end
    std::vector<std::string> keys_;
};

}  // namespace lintaro
