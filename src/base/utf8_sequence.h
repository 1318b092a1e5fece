// Reading and writing UTF-8 sequences: the strict rules of well-formed UTF-8 and the lenient
// rules of the subject decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lintaro {

// Length of the well-formed UTF-8 sequence (shortest form, no surrogate, at most U+10FFFF)
// at the start of bytes, with its value; 0 when there is none.
std::size_t WellFormedUtf8Length(std::string_view bytes, char32_t& value);

// Length of the longest prefix of bytes made of well-formed sequences and free of NUL bytes.
std::size_t WellFormedUtf8Prefix(std::string_view bytes);

// Length of the sequence at the start of bytes by the lenient rules, with its value: lead
// bytes up to the 6-byte form, overlong forms and surrogate values accepted. 0 when the
// sequence is malformed: a continuation byte, 0xFE or 0xFF as lead, a following byte that is
// not 10xxxxxx, or bytes ending inside the sequence.
std::size_t LenientUtf8Length(std::string_view bytes, std::uint32_t& value);

// Appends the UTF-8 sequence of value (at most U+10FFFF) to out.
void AppendUtf8(std::string& out, char32_t value);

}  // namespace lintaro
