// Reading a fuzzer's input bytes as a sequence of small choices, numbers and texts.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lintaro {

// Takes values from the front of the input. Once the input is used up every value is 0 or
// empty, so a target never reads past its input and short inputs still mean something.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return rest_.empty(); }
    std::size_t Remaining() const { return rest_.size(); }

    std::uint8_t TakeByte() {
        if (rest_.empty()) return 0;
        const auto byte = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return byte;
    }

    bool TakeBool() { return (TakeByte() & 1) != 0; }

    // A number from first to last inclusive (last - first below 256).
    int TakeInt(int first, int last) { return first + TakeByte() % (last - first + 1); }

    // Up to max_size bytes, the length taken from the input first.
    std::string_view TakeText(std::size_t max_size) {
        return TakeBytes(std::min<std::size_t>(TakeByte(), max_size));
    }

    std::string_view TakeBytes(std::size_t size) {
        const std::string_view taken = rest_.substr(0, std::min(size, rest_.size()));
        rest_.remove_prefix(taken.size());
        return taken;
    }

    std::string_view TakeRest() { return TakeBytes(rest_.size()); }

  private:
    std::string_view rest_;
};

}  // namespace lintaro
