// A one-way iconv conversion between two character sets that never fails.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace lintaro {

// Converts text from one character set to another. A source character that cannot be decoded
// or that the target set cannot hold is replaced by a fixed text, so the conversion always
// completes; a set that iconv does not know turns every character into that text.
class IconvConverter {
  public:
    // How far to step over a source character that could not be converted.
    enum class SourceUnit { kByte, kUtf8Character, kUtf16Character };

    IconvConverter(const std::string& to, const std::string& from, SourceUnit unit,
                   std::string replacement);
    ~IconvConverter();
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    // The converted bytes of input (UTF-16 sources are given in native byte order).
    std::string Convert(std::string_view input);

  private:
    std::size_t FailedUnitLength(std::string_view rest) const;

    iconv_t descriptor_;
    SourceUnit unit_;
    std::string replacement_;
};

}  // namespace lintaro
