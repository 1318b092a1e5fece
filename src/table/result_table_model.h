// The Qt item model over the result table; the window changes the table only through it.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <optional>
#include <string_view>

#include "table/result_table.h"

namespace lintaro {

// Shows the data cells of a ResultTable: its fixed row becomes the horizontal header, its
// fixed column the vertical header, and the corner cell is offered as CornerText. View row
// and column r are table row and column r + the fixed count. Texts turn into QString only
// when a cell is asked for, so a million-row table costs nothing until it is shown.
class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit ResultTableModel(QObject* parent = nullptr);

    const ResultTable& Table() const { return table_; }
    // Takes a whole new table (a match run's result) in one model reset.
    void ReplaceTable(ResultTable&& table);

    // The table's operations, each announced to views with the matching model signals.
    void ResetTable();
    bool DeleteRow(int row);
    bool DeleteColumn(int column);
    bool InsertColumn(std::string_view heading, std::optional<int> position = std::nullopt);
    bool InsertRow(std::string_view heading, std::optional<int> position = std::nullopt);
    void SetCell(int row, int column, std::string_view text);
    bool SetColumnWidth(int column, int width);
    void SetBackgroundColour(Rgb colour);

    // The corner cell's text; empty while the table has no fixed row or column.
    QString CornerText() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  signals:
    // Table column index, fixed columns included.
    void ColumnWidthChanged(int column);
    void BackgroundColourChanged();
    void CornerTextChanged();

  private:
    bool IsDataCell(const QModelIndex& index) const;
    QString TextAt(int row, int column) const;

    ResultTable table_;
};

}  // namespace lintaro
