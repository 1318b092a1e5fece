// The bytes of a text the program holds: in memory of its own, or mapped from a file.
#include "base/text_buffer.h"

namespace lintaro {

void TextBuffer::ShrinkTo(std::size_t size) {
    if (IsMapped()) {
        mapped_size_ = size < mapped_size_ ? size : mapped_size_;
    } else if (size < owned_.size()) {
        owned_.resize(size);
    }
}

}  // namespace lintaro
