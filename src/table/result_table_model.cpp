// The Qt item model over the result table; the window changes the table only through it.
#include "table/result_table_model.h"

#include <QBrush>

#include <utility>

#include "table/qt_conversions.h"
#include "table/shown_cell_text.h"

namespace lintaro {

ResultTableModel::ResultTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultTableModel::ReplaceTable(ResultTable&& table) {
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
}

bool ResultTableModel::SetColumnWidth(int column, int width) {
    return table_.SetColumnWidth(column, width);
}

QString ResultTableModel::CornerText() const {
    if (table_.FixedRowCount() == 0 || table_.FixedColumnCount() == 0) return {};
    return ShownTextAt(0, 0);
}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.RowCount() - table_.FixedRowCount();
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.ColumnCount() - table_.FixedColumnCount();
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!IsDataCell(index)) return {};
    const int row = index.row() + table_.FixedRowCount();
    const int column = index.column() + table_.FixedColumnCount();
    switch (role) {
        case Qt::DisplayRole:
            return ShownTextAt(row, column);
        case Qt::EditRole:
            return TextAt(row, column);
        case Qt::ToolTipRole: {
            // Rich text, so that markup in the cell is shown as it stands; lines broken at a
            // width the screen holds, also where the text has no spaces.
            const QString shown = ShownTextAt(row, column);
            if (shown.isEmpty()) return {};
            return QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>")
                .arg(WrappedToolTipLines(shown).toHtmlEscaped());
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        case Qt::BackgroundRole:
            return QBrush(ToQColor(table_defaults::kCellBackground));
        case Qt::ForegroundRole:
            return QBrush(ToQColor(table_defaults::kText));
        default:
            return {};
    }
}

bool ResultTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !IsDataCell(index)) return false;
    table_.SetCell(index.row() + table_.FixedRowCount(), index.column() + table_.FixedColumnCount(),
                   QStringToProgramText(value.toString()));
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
    // Every data cell has the same flags. Selecting everything asks for each row's, so this
    // is only the validity test that indexes of this model's own views pass.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                           : Qt::NoItemFlags;
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) return {};
    if (orientation == Qt::Horizontal) {
        if (table_.FixedRowCount() == 0 || section >= columnCount()) return {};
        return ShownTextAt(0, section + table_.FixedColumnCount());
    }
    if (table_.FixedColumnCount() == 0 || section >= rowCount()) return {};
    return ShownTextAt(section + table_.FixedRowCount(), 0);
}

bool ResultTableModel::IsDataCell(const QModelIndex& index) const {
    // Not checkIndex: it warns about the invalid indexes that views pass on purpose.
    return index.isValid() && index.model() == this && index.row() < rowCount() &&
           index.column() < columnCount();
}

QString ResultTableModel::TextAt(int row, int column) const {
    const CellResult text = table_.GetCell(row, column);
    if (!text) return {};
    return ProgramTextToQString(*text);
}

QString ResultTableModel::ShownTextAt(int row, int column) const {
    const CellResult text = table_.GetCell(row, column);
    if (!text) return {};
    return ShownCellText(*text);
}

}  // namespace lintaro
