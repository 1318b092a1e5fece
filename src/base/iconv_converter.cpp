// A one-way iconv conversion between two character sets that never fails.
#include "base/iconv_converter.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "base/utf16.h"

namespace lintaro {

namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return 4;
}

}  // namespace

IconvConverter::IconvConverter(const std::string& to, const std::string& from, SourceUnit unit,
                               std::string replacement)
    : descriptor_(iconv_open(to.c_str(), from.c_str())),
      unit_(unit),
      replacement_(std::move(replacement)) {}

IconvConverter::~IconvConverter() {
    if (descriptor_ != kNoDescriptor) iconv_close(descriptor_);
}

std::size_t IconvConverter::FailedUnitLength(std::string_view rest) const {
    std::size_t length = 1;
    switch (unit_) {
        case SourceUnit::kByte:
            break;
        case SourceUnit::kUtf8Character:
            length = Utf8SequenceLength(static_cast<unsigned char>(rest[0]));
            break;
        case SourceUnit::kUtf16Character: {
            length = 2;
            if (rest.size() >= 4) {
                char16_t units[2];
                std::memcpy(units, rest.data(), sizeof units);
                if (IsHighSurrogate(units[0]) && IsLowSurrogate(units[1])) length = 4;
            }
            break;
        }
    }
    return length < rest.size() ? length : rest.size();
}

std::string IconvConverter::Convert(std::string_view input) {
    std::string output;
    replaced_ = 0;
    if (descriptor_ != kNoDescriptor) iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    // Most conversions here shrink or keep the size; grow on demand otherwise.
    output.resize(input.size() + 16);
    std::size_t written = 0;
    std::string_view rest = input;
    while (!rest.empty()) {
        std::size_t result = static_cast<std::size_t>(-1);
        int error = EILSEQ;
        if (descriptor_ != kNoDescriptor) {
            char* in = const_cast<char*>(rest.data());  // iconv's interface is not const
            std::size_t in_left = rest.size();
            char* out = output.data() + written;
            std::size_t out_left = output.size() - written;
            result = iconv(descriptor_, &in, &in_left, &out, &out_left);
            error = errno;
            written = output.size() - out_left;
            rest.remove_prefix(rest.size() - in_left);
        }
        if (result != static_cast<std::size_t>(-1)) break;
        if (error == E2BIG) {
            output.resize(output.size() * 2 + 16);
            continue;
        }
        // EILSEQ (cannot decode or cannot hold) or EINVAL (cut off at the end): replace one
        // source character and go on after it.
        if (output.size() - written < replacement_.size()) {
            output.resize(output.size() * 2 + replacement_.size());
        }
        output.replace(written, replacement_.size(), replacement_);
        written += replacement_.size();
        ++replaced_;
        rest.remove_prefix(FailedUnitLength(rest));
    }
    output.resize(written);
    return output;
}

std::size_t IconvConverter::ConvertPrefix(std::string_view input, std::string* out) {
    if (descriptor_ == kNoDescriptor) return 0;
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    char buffer[1 << 16];
    char* in = const_cast<char*>(input.data());  // iconv's interface is not const
    std::size_t in_left = input.size();
    while (true) {
        char* target = buffer;
        std::size_t target_left = sizeof buffer;
        const std::size_t result = iconv(descriptor_, &in, &in_left, &target, &target_left);
        const int error = errno;
        if (out != nullptr) out->append(buffer, static_cast<std::size_t>(target - buffer));
        if (result != static_cast<std::size_t>(-1) || error != E2BIG) break;
    }
    // A stateful set may still owe bytes that return it to its initial state.
    char* target = buffer;
    std::size_t target_left = sizeof buffer;
    iconv(descriptor_, nullptr, nullptr, &target, &target_left);
    if (out != nullptr) out->append(buffer, static_cast<std::size_t>(target - buffer));
    return input.size() - in_left;
}

}  // namespace lintaro
