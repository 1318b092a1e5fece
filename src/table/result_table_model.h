// The Qt item model over the result table; the window changes the table only through it.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include "table/result_table.h"

namespace lintaro {

// Shows the data cells of a ResultTable: its fixed row becomes the horizontal header, its
// fixed column the vertical header, and the corner cell is offered as CornerText. View row
// and column r are table row and column r + the fixed count. Texts turn into QString only
// when a cell is asked for, so a million-row table costs nothing until it is shown; what is
// drawn of a cell, and its tooltip, is bounded by ShownCellText, only the editor gets it whole.
// The table changes in three ways only: a whole new table from a match run, a cell edited in
// place, a column resized in the view's header. Operations on single rows, columns and cells
// belong to ResultTable, which the match run uses before handing the table over.
class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit ResultTableModel(QObject* parent = nullptr);

    const ResultTable& Table() const { return table_; }
    // Takes a whole new table (a match run's result) in one model reset.
    void ReplaceTable(ResultTable&& table);
    // Keeps the width a view's header was resized to (table column index, fixed columns
    // included); the view already shows it, so nothing is announced. False outside the table
    // or for a negative width.
    bool SetColumnWidth(int column, int width);

    // The corner cell's text; empty while the table has no fixed row or column.
    QString CornerText() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    bool IsDataCell(const QModelIndex& index) const;
    // The whole text, for the editor.
    QString TextAt(int row, int column) const;
    // What is drawn and put in tooltips: ShownCellText.
    QString ShownTextAt(int row, int column) const;

    ResultTable table_;
};

}  // namespace lintaro
