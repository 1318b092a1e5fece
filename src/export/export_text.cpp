// The five export record formats, appended to a sink row by row.
#include "export/export_text.h"

#include <algorithm>

#include "base/huge_pages.h"
#include "export/link_row_template.h"
#include "export/page_templates.h"
#include "export/replace_pairs.h"

namespace lintaro {
namespace {

// Cells hold HTML source: "&" stays so that their entities still render.
constexpr ReplacePair kCellEscapePairs[] = {
    {" ", "&nbsp;"}, {"<", "&lt;"}, {">", "&gt;"}, {"\"", "&quot;"}, {"'", "&apos;"}};
// The link formats carry cells harvested from other pages: no "<" or ">" of a cell may open or
// close an element there. "&" stays, so that the entities anchor texts carry still read right.
constexpr ReplacePair kLinkTextPairs[] = {{"<", "&lt;"}, {">", "&gt;"}};
// Inside a double-quoted attribute '"' would also end the value early.
constexpr ReplacePair kAttributePairs[] = {{"\"", "&quot;"}, {"<", "&lt;"}, {">", "&gt;"}};

constexpr std::string_view kTableStart = "<figure><table><thead><tr>";
constexpr std::string_view kHeaderCellStart = "<th><span>";
constexpr std::string_view kHeaderCellEnd = "</span></th>\r\n";
constexpr std::string_view kHeadEnd = "</tr></thead>\r\n";
constexpr std::string_view kBodyStart = "<tbody><tr>\r\n";
constexpr std::string_view kCellStart = "<td><span>";
constexpr std::string_view kCellEnd = "</span></td>\r\n";
constexpr std::string_view kBodyEnd = "</tr></tbody>\r\n";
constexpr std::string_view kTableEnd = "</table></figure>\r\n";
constexpr std::string_view kLinkPageEnd = "</TEXT></div></div>\n</body>\n</html>\r\n";
constexpr std::string_view kTablePageEnd = "</div></div>\n</body>\n</html>\r\n";

std::string_view CellText(const ResultTable& table, int row, int column) {
    return table.GetCell(row, column).value_or(std::string_view());
}

// Bytes that the cells in rows first..last and columns first..last take in the export text,
// for reserving it in one go.
std::size_t CellBytes(const ResultTable& table, int first_row, int last_row, int first_column,
                      int last_column, const PairReplacer* replacer = nullptr) {
    // Only cells that exist hold bytes; a column role may name any number at all.
    first_row = std::max(first_row, 0);
    last_row = std::min(last_row, table.RowCount() - 1);
    first_column = std::max(first_column, 0);
    last_column = std::min(last_column, table.ColumnCount() - 1);
    std::size_t bytes = 0;
    for (int row = first_row; row <= last_row; ++row) {
        for (int column = first_column; column <= last_column; ++column) {
            const std::string_view text = CellText(table, row, column);
            bytes += replacer ? replacer->EstimateReplacedSize(text) : text.size();
        }
    }
    return bytes;
}

std::size_t RowCount(const SelectionRect& selection) {
    return selection.last_row < selection.first_row
               ? 0
               : static_cast<std::size_t>(selection.last_row - selection.first_row) + 1;
}

std::size_t ColumnCount(const SelectionRect& selection) {
    return selection.last_column < selection.first_column
               ? 0
               : static_cast<std::size_t>(selection.last_column - selection.first_column) + 1;
}

class ExportTextBuilder {
  public:
    ExportTextBuilder(const ResultTable& table, SelectionRect selection, const ColumnRoles& roles,
                      ExportSink& sink, WorkProgress* progress)
        : table_(table),
          selection_(selection),
          roles_(roles),
          link_text_(kLinkTextPairs, ProgramCharacterSetKind()),
          attribute_(kAttributePairs, ProgramCharacterSetKind()),
          escape_(kCellEscapePairs, ProgramCharacterSetKind()),
          progress_(progress),
          sink_(sink),
          text_(sink.Text()) {}

    void Build(ExportFormat format) {
        if (progress_ != nullptr) progress_->Start(static_cast<std::int64_t>(RowCount(selection_)));
        switch (format) {
            case ExportFormat::StyledLinkPage:
                AppendStyledLinkRows();
                break;
            case ExportFormat::LinkList:
                AppendLinkListRows();
                break;
            case ExportFormat::PlainText:
                AppendPlainTextRows();
                break;
            case ExportFormat::HtmlTable:
                ReserveTable(0);
                AppendHtmlTable();
                break;
            case ExportFormat::StyledTablePage:
                ReserveTable(TablePageTemplate().size() + kTablePageEnd.size());
                text_ += TablePageTemplate();
                AppendHtmlTable();
                text_ += kTablePageEnd;
                break;
        }
        sink_.Flush();
        if (progress_ != nullptr) {
            progress_->Add(static_cast<std::int64_t>(RowCount(selection_)) - reported_rows_, 0);
        }
    }

  private:
    // Reports the rows before row as done, a batch at a time, and tells whether to go on: not
    // once the sink has failed or a cancel is requested.
    bool GoOn(int row) {
        constexpr int kRowsPerReport = 4096;
        if (sink_.Error()) return false;
        if (progress_ == nullptr || (row - selection_.first_row) % kRowsPerReport != 0) {
            return true;
        }
        if (row != selection_.first_row) {
            progress_->Add(kRowsPerReport, 0);
            reported_rows_ += kRowsPerReport;
        }
        return !progress_->CancelRequested();
    }

    // A sink that keeps the whole text gets its size, bytes(), reserved up front. Such a
    // large text is written once, front to back: huge pages spare it most page faults.
    template <typename Bytes>
    void ReserveWhole(const Bytes& bytes) {
        if (!sink_.KeepsWholeText()) return;
        text_.reserve(bytes());
        AdviseHugePages(text_.data(), text_.capacity());
    }

    // The text cells, the links as escaped href values and, when shown, the links again.
    std::size_t LinkCellBytes(bool link_shown) const {
        const int first = selection_.first_row;
        const int last = selection_.last_row;
        const int link = roles_.LinkColumn();
        const int text = roles_.TextColumn();
        return CellBytes(table_, first, last, text, text, &link_text_) +
               CellBytes(table_, first, last, link, link, &attribute_) +
               (link_shown ? CellBytes(table_, first, last, link, link, &link_text_) : 0);
    }

    void AppendStyledLinkRows() {
        const LinkRowPieces pieces = CutLinkRowTemplate();
        ReserveWhole([&] {
            return LinksPageTemplate().size() + kLinkPageEnd.size() + LinkCellBytes(true) +
                   RowCount(selection_) * (pieces.p1.size() + pieces.p2.size() + pieces.p3.size() +
                                           pieces.p4.size() + 2);
        });
        text_ += LinksPageTemplate();
        for (int row = selection_.first_row; row <= selection_.last_row && GoOn(row); ++row) {
            const std::string_view link = CellText(table_, row, roles_.LinkColumn());
            text_ += pieces.p1;
            link_text_.AppendReplaced(text_, CellText(table_, row, roles_.TextColumn()));
            text_ += pieces.p2;
            attribute_.AppendReplaced(text_, link);
            text_ += pieces.p3;
            link_text_.AppendReplaced(text_, link);
            text_ += pieces.p4;
            text_ += "\r\n";
            sink_.RowDone();
        }
        text_ += kLinkPageEnd;
    }

    void AppendLinkListRows() {
        constexpr std::string_view kRowStart = "<a href=\"";
        constexpr std::string_view kHrefEnd = "\">";
        constexpr std::string_view kRowEnd = "</a><br/>\r\n";
        ReserveWhole([&] {
            return LinkCellBytes(false) +
                   RowCount(selection_) * (kRowStart.size() + kHrefEnd.size() + kRowEnd.size());
        });
        for (int row = selection_.first_row; row <= selection_.last_row && GoOn(row); ++row) {
            text_ += kRowStart;
            attribute_.AppendReplaced(text_, CellText(table_, row, roles_.LinkColumn()));
            text_ += kHrefEnd;
            link_text_.AppendReplaced(text_, CellText(table_, row, roles_.TextColumn()));
            text_ += kRowEnd;
            sink_.RowDone();
        }
    }

    void AppendPlainTextRows() {
        constexpr std::string_view kCellGap = "    ";
        const bool several_columns = selection_.last_column > selection_.first_column;
        ReserveWhole([&] {
            return CellBytes(table_, selection_.first_row, selection_.last_row,
                             selection_.first_column, selection_.last_column) +
                   RowCount(selection_) * (ColumnCount(selection_) * kCellGap.size() + 2);
        });
        for (int row = selection_.first_row; row <= selection_.last_row && GoOn(row); ++row) {
            if (several_columns) {
                for (int column = selection_.first_column; column <= selection_.last_column;
                     ++column) {
                    text_ += CellText(table_, row, column);
                    text_ += kCellGap;
                }
            } else {
                text_ += CellText(table_, row, selection_.first_column);
            }
            text_ += "\r\n";
            sink_.RowDone();
        }
    }

    void ReserveTable(std::size_t page_bytes) {
        ReserveWhole([&] {
            const std::size_t columns = ColumnCount(selection_);
            const std::size_t cell_markup = kCellStart.size() + kCellEnd.size();
            return page_bytes + kTableStart.size() + kHeadEnd.size() + kTableEnd.size() +
                   CellBytes(table_, 0, 0, selection_.first_column, selection_.last_column,
                             &escape_) +
                   CellBytes(table_, selection_.first_row, selection_.last_row,
                             selection_.first_column, selection_.last_column, &escape_) +
                   columns * (kHeaderCellStart.size() + kHeaderCellEnd.size()) +
                   RowCount(selection_) *
                       (kBodyStart.size() + kBodyEnd.size() + columns * cell_markup);
        });
    }

    void AppendHtmlTable() {
        text_ += kTableStart;
        for (int column = selection_.first_column; column <= selection_.last_column; ++column) {
            text_ += kHeaderCellStart;
            escape_.AppendReplaced(text_, CellText(table_, 0, column));
            text_ += kHeaderCellEnd;
        }
        text_ += kHeadEnd;
        for (int row = selection_.first_row; row <= selection_.last_row && GoOn(row); ++row) {
            text_ += kBodyStart;
            for (int column = selection_.first_column; column <= selection_.last_column; ++column) {
                text_ += kCellStart;
                escape_.AppendReplaced(text_, CellText(table_, row, column));
                text_ += kCellEnd;
            }
            text_ += kBodyEnd;
            sink_.RowDone();
        }
        text_ += kTableEnd;
    }

    const ResultTable& table_;
    const SelectionRect selection_;
    const ColumnRoles& roles_;
    const PairReplacer link_text_;
    const PairReplacer attribute_;
    const PairReplacer escape_;
    WorkProgress* const progress_;
    std::int64_t reported_rows_ = 0;
    ExportSink& sink_;
    std::string& text_;  // the sink's text
};

}  // namespace

void WriteExportText(ExportFormat format, const ResultTable& table, SelectionRect selection,
                     const ColumnRoles& roles, ExportSink& sink, WorkProgress* progress) {
    ExportTextBuilder(table, selection, roles, sink, progress).Build(format);
}

std::string BuildExportText(ExportFormat format, const ResultTable& table, SelectionRect selection,
                            const ColumnRoles& roles, WorkProgress* progress) {
    ExportSink sink;
    WriteExportText(format, table, selection, roles, sink, progress);
    return sink.TakeText();
}

}  // namespace lintaro
