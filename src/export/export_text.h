// Building the export text of the selected cells in one of the export formats.
#pragma once

#include <string>

#include "base/work_progress.h"
#include "export/export_format.h"
#include "export/export_sink.h"
#include "table/column_roles.h"
#include "table/result_table.h"
#include "table/selection_rect.h"

namespace lintaro {

// The export text, in program text, of the rows first_row..last_row of selection in format, as
// its writer makes it (see format_writers.h). A cell outside the table (a column role the
// current table lacks) reads as the empty text. progress, when given, counts the rows done;
// once a cancel is requested there, the text stops after the row being written and is
// incomplete.
std::string BuildExportText(ExportFormat format, const ResultTable& table, SelectionRect selection,
                            const ColumnRoles& roles, WorkProgress* progress = nullptr);

// The same text, put into sink row by row and flushed at the end. It also stops after the row
// being written once the sink has failed.
void WriteExportText(ExportFormat format, const ResultTable& table, SelectionRect selection,
                     const ColumnRoles& roles, ExportSink& sink, WorkProgress* progress = nullptr);

}  // namespace lintaro
