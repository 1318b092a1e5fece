// Export text kept whole or handed on in blocks, converted to UTF-8 on the way out.
#include "export/export_sink.h"

#include <utility>

#include "base/charset.h"
#include "base/program_text.h"

namespace lintaro {
namespace {

constexpr std::size_t kConversionBlockBytes = std::size_t{1} << 20;

}  // namespace

std::error_code WriteProgramTextAsUtf8(std::string_view text, const ByteWriter& write) {
    if (ProgramCharsetIsUtf8()) return text.empty() ? std::error_code() : write(text);
    while (!text.empty()) {
        // The block ends after the last line feed within a block's length, or when none lies
        // there, after the first one beyond it (a row longer than a block stays whole).
        std::size_t end = text.size();
        if (end > kConversionBlockBytes) {
            std::size_t feed = text.rfind('\n', kConversionBlockBytes - 1);
            if (feed == std::string_view::npos) feed = text.find('\n', kConversionBlockBytes);
            if (feed != std::string_view::npos) end = feed + 1;
        }
        if (const std::error_code error = write(ProgramTextToUtf8(text.substr(0, end)))) {
            return error;
        }
        text.remove_prefix(end);
    }
    return {};
}

ExportSink::ExportSink() = default;

ExportSink::ExportSink(ByteWriter write) : write_(std::move(write)) {
    // A block and the row that fills it, without growing on the way.
    text_.reserve(2 * kBlockBytes);
}

void ExportSink::HandOn() {
    if (!error_) error_ = WriteProgramTextAsUtf8(text_, write_);
    text_.clear();
}

}  // namespace lintaro
