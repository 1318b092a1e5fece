// A one-way iconv conversion between two character sets that never fails.
#pragma once

#include <iconv.h>

#include <cstdint>
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
    // How many source characters the last Convert replaced.
    std::int64_t Replaced() const { return replaced_; }

    // Appends to out the conversion of input up to its first sequence that cannot be converted
    // or that is cut off at the end, without replacing anything. Returns how many bytes of
    // input were converted: all of them when nothing stopped it. Writes through a small buffer,
    // so out only grows by what was converted (reserve it to avoid copies); with no out, only
    // the length is found.
    std::size_t ConvertPrefix(std::string_view input, std::string* out);

  private:
    std::size_t FailedUnitLength(std::string_view rest) const;

    iconv_t descriptor_;
    SourceUnit unit_;
    std::string replacement_;
    std::int64_t replaced_ = 0;
};

}  // namespace lintaro
