// The result table on screen: a QTableView with the fixed row and column as its headers.
#pragma once

#include <QTableView>

#include <optional>

#include "table/fixed_cell_click_filter.h"
#include "table/result_table.h"
#include "table/result_table_model.h"
#include "table/selection_rect.h"

class QLabel;
class QMenu;

namespace lintaro {

// What the column header's context menu offers for its column.
enum class ColumnOperation { kDecodeEntities, kResolveLinks, kTrim, kUnique, kSort };

// Shows a ResultTableModel: table row 0 in the horizontal header, column 0 in the vertical
// header and the corner cell in a widget of our own that reports its clicks. Users select
// data cells (a header click selects its column, a number cell its row, the corner all),
// edit them in place, resize columns in the header (the number column too, by its border in
// the header row) and copy the selection with Ctrl+C. After each new table the number column
// is at least as wide as its largest number needs.
class ResultTableView : public QTableView {
    Q_OBJECT

  public:
    // The model must outlive the view.
    explicit ResultTableView(ResultTableModel* model, QWidget* parent = nullptr);

    ResultTableModel* Model() const { return model_; }

    // The rectangle that bounds the selected cells, in table indexes (fixed cells counted).
    SelectionRect Selection() const;

    // Puts the selected rectangle on the clipboard as tab-separated text.
    void CopySelection() const;
    // How wide a heading is in this view's header font, padding and grid line included;
    // what InsertColumn needs to size a new column as this view shows it.
    HeadingWidthFunction HeadingWidth() const;

    // Opens the context menu of table column column's header cell at global_position; a
    // right click on a column header opens it there. The menu goes when it closes.
    QMenu* OpenColumnMenu(int column, QPoint global_position);

  signals:
    void ColumnOperationChosen(ColumnOperation operation, int column);
    void FixedCellClicked(int row, int column);
    void FixedCellDoubleClicked(int row, int column);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;

  private:
    // Brings headers, sizes, colours and the corner in line with the whole table.
    void ApplyTable();
    void ApplyBackground(Rgb background);
    // Widens the number column to its last row's number, the largest.
    void FitNumberColumn();
    void SetNumberColumnWidth(int width);
    void KeepColumnWidth(int view_column, int width);
    std::optional<FixedCellClickFilter::Hit> LocateFixedCell(const QObject* watched,
                                                             QPoint position) const;
    bool IsOnColumnBorder(int x) const;
    // A point on the number column's right border in the header row: the corner's right edge
    // or the column headers' left edge.
    bool IsOnNumberColumnBorder(const QObject* watched, QPoint position) const;

    ResultTableModel* model_;
    QLabel* corner_;
    bool applying_table_ = false;
    std::optional<Rgb> shown_background_;  // the colour of the current style sheet
};

}  // namespace lintaro
