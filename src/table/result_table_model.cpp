// The Qt item model over the result table; the window changes the table only through it.
#include "table/result_table_model.h"

#include <QBrush>
#include <QColor>

#include <utility>

#include "base/program_text.h"

namespace lintaro {

namespace {
QColor ToQColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}
}  // namespace

ResultTableModel::ResultTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultTableModel::ReplaceTable(ResultTable&& table) {
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
    emit BackgroundColourChanged();
}

void ResultTableModel::ResetTable() {
    beginResetModel();
    table_.ResetTable();
    endResetModel();
    emit BackgroundColourChanged();
}

bool ResultTableModel::DeleteRow(int row) {
    if (row < 0 || row >= table_.RowCount()) return false;
    // Losing a fixed row moves every view index: only a reset says that.
    if (row < table_.FixedRowCount()) {
        beginResetModel();
        table_.DeleteRow(row);
        endResetModel();
        return true;
    }
    const int view_row = row - table_.FixedRowCount();
    beginRemoveRows(QModelIndex(), view_row, view_row);
    table_.DeleteRow(row);
    endRemoveRows();
    return true;
}

bool ResultTableModel::DeleteColumn(int column) {
    if (column < 0 || column >= table_.ColumnCount()) return false;
    if (column < table_.FixedColumnCount()) {
        beginResetModel();
        table_.DeleteColumn(column);
        endResetModel();
        return true;
    }
    const int view_column = column - table_.FixedColumnCount();
    beginRemoveColumns(QModelIndex(), view_column, view_column);
    table_.DeleteColumn(column);
    endRemoveColumns();
    return true;
}

bool ResultTableModel::InsertColumn(std::string_view heading, std::optional<int> position) {
    // Into a table without rows or columns the insert also creates fixed cells: a reset.
    if (table_.RowCount() == 0 || table_.ColumnCount() == 0) {
        beginResetModel();
        const bool added = table_.InsertColumn(heading, position);
        endResetModel();
        return added;
    }
    const int view_column = table_.InsertedColumnIndex(position) - table_.FixedColumnCount();
    beginInsertColumns(QModelIndex(), view_column, view_column);
    const bool added = table_.InsertColumn(heading, position);
    endInsertColumns();
    return added;
}

bool ResultTableModel::InsertRow(std::string_view heading, std::optional<int> position) {
    if (table_.RowCount() == 0 || table_.ColumnCount() == 0) {
        beginResetModel();
        const bool added = table_.InsertRow(heading, position);
        endResetModel();
        return added;
    }
    const int view_row = table_.InsertedRowIndex(position) - table_.FixedRowCount();
    beginInsertRows(QModelIndex(), view_row, view_row);
    const bool added = table_.InsertRow(heading, position);
    endInsertRows();
    return added;
}

void ResultTableModel::SetCell(int row, int column, std::string_view text) {
    if (!table_.GetCell(row, column)) return;
    table_.SetCell(row, column, text);
    const int view_row = row - table_.FixedRowCount();
    const int view_column = column - table_.FixedColumnCount();
    if (view_row < 0 && view_column < 0) {
        emit CornerTextChanged();
    } else if (view_row < 0) {
        emit headerDataChanged(Qt::Horizontal, view_column, view_column);
    } else if (view_column < 0) {
        emit headerDataChanged(Qt::Vertical, view_row, view_row);
    } else {
        const QModelIndex changed = index(view_row, view_column);
        emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
    }
}

bool ResultTableModel::SetColumnWidth(int column, int width) {
    if (!table_.SetColumnWidth(column, width)) return false;
    emit ColumnWidthChanged(column);
    return true;
}

void ResultTableModel::SetBackgroundColour(Rgb colour) {
    table_.SetBackgroundColour(colour);
    emit BackgroundColourChanged();
}

QString ResultTableModel::CornerText() const {
    if (table_.FixedRowCount() == 0 || table_.FixedColumnCount() == 0) return {};
    return TextAt(0, 0);
}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.RowCount() - table_.FixedRowCount();
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.ColumnCount() - table_.FixedColumnCount();
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!IsDataCell(index)) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return TextAt(index.row() + table_.FixedRowCount(),
                          index.column() + table_.FixedColumnCount());
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
    const std::u16string typed = value.toString().toStdU16String();
    table_.SetCell(index.row() + table_.FixedRowCount(), index.column() + table_.FixedColumnCount(),
                   Utf16ToProgramText(typed));
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
    if (!IsDataCell(index)) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) return {};
    if (orientation == Qt::Horizontal) {
        if (table_.FixedRowCount() == 0 || section >= columnCount()) return {};
        return TextAt(0, section + table_.FixedColumnCount());
    }
    if (table_.FixedColumnCount() == 0 || section >= rowCount()) return {};
    return TextAt(section + table_.FixedRowCount(), 0);
}

bool ResultTableModel::IsDataCell(const QModelIndex& index) const {
    // Not checkIndex: it warns about the invalid indexes that views pass on purpose.
    return index.isValid() && index.model() == this && index.row() < rowCount() &&
           index.column() < columnCount();
}

QString ResultTableModel::TextAt(int row, int column) const {
    const CellResult text = table_.GetCell(row, column);
    if (!text) return {};
    const std::u16string utf16 = ProgramTextToUtf16(*text);
    return QString::fromStdU16String(utf16);
}

}  // namespace lintaro
