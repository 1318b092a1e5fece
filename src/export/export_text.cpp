// Building an export text with its format's writer.
#include "export/export_text.h"

#include "export/export_context.h"

namespace lintaro {

void WriteExportText(ExportFormat format, const ResultTable& table, SelectionRect selection,
                     const ColumnRoles& roles, ExportSink& sink, WorkProgress* progress) {
    ExportContext context(table, selection, roles, sink, progress);
    FormatInfo(format).write(context);
    context.Finish();
}

std::string BuildExportText(ExportFormat format, const ResultTable& table, SelectionRect selection,
                            const ColumnRoles& roles, WorkProgress* progress) {
    ExportSink sink;
    WriteExportText(format, table, selection, roles, sink, progress);
    return sink.TakeText();
}

}  // namespace lintaro
