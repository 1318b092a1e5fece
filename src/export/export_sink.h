// Where the export text builders put their text: kept whole (for the clipboard), or handed on
// to a writer a block at a time (for a file), so that a file never needs the whole text.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace lintaro {

// Takes UTF-8 bytes and gives the error of its failure, if any.
using ByteWriter = std::function<std::error_code(std::string_view bytes)>;

// Writes program text as UTF-8 through write: as it is when the program's set is UTF-8,
// otherwise converted in blocks of about a megabyte that end after a line feed, which starts
// no character in any set a locale uses, so no character is cut between two conversions.
// Stops at the first error and returns it.
std::error_code WriteProgramTextAsUtf8(std::string_view text, const ByteWriter& write);

class ExportSink {
  public:
    // Keeps the whole text.
    ExportSink();
    // Hands the text on to write as UTF-8 (see WriteProgramTextAsUtf8) in blocks of about a
    // megabyte, each ending with a row.
    explicit ExportSink(ByteWriter write);

    // The program text not yet handed on; builders append to it.
    std::string& Text() { return text_; }
    // Whether the whole text stays here, so that reserving its whole size up front pays.
    bool KeepsWholeText() const { return !write_; }
    // Builders call it after each row: hands the text on once it fills a block.
    void RowDone() {
        if (write_ && text_.size() >= kBlockBytes) HandOn();
    }
    // Hands on what is still held; a sink that keeps the whole text keeps it.
    void Flush() {
        if (write_) HandOn();
    }
    // The first error of handing on, if any; after one, the rest of the text is dropped.
    std::error_code Error() const { return error_; }
    // The whole text of a sink that keeps it.
    std::string TakeText() { return std::move(text_); }

  private:
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

    void HandOn();

    ByteWriter write_;
    std::string text_;
    std::error_code error_;
};

}  // namespace lintaro
