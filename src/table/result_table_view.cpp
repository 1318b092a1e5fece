// The result table on screen: a QTableView with the fixed row and column as its headers.
#include "table/result_table_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStyle>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

#include "table/number_column_grip.h"
#include "table/qt_conversions.h"
#include "table/tab_separated_text.h"

namespace lintaro {

namespace {

constexpr int kCellPadding = 4;  // left and right of a fixed cell's text
constexpr int kGridLineWidth = 1;

QString Css(Rgb colour) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(colour.red).arg(colour.green).arg(colour.blue);
}

// Fixed cells look like flat headings with the grid's lines; the header area that no cell
// covers shows the table's background.
QString FixedCellStyle(const QString& selector) {
    return QStringLiteral(
               "%1 { background-color: %2; color: %3; border: none; border-right: 1px solid %4;"
               " border-bottom: 1px solid %4; padding-left: %5px; padding-right: %5px; }")
        .arg(selector, Css(table_defaults::kFixedCellBackground), Css(table_defaults::kText),
             Css(table_defaults::kGridLine))
        .arg(kCellPadding);
}

// The view's own colours go into its style sheet: a palette set on the viewport is lost when
// the style sheet polishes the view as it is first shown, and a dark desktop theme must not
// reach the table either.
QString ViewStyle(Rgb background) {
    return QStringLiteral(
               "QTableView { gridline-color: %1; background-color: %2; color: %3;"
               " selection-background-color: %4; selection-color: %5; }")
        .arg(Css(table_defaults::kGridLine), Css(background), Css(table_defaults::kText),
             Css(table_defaults::kSelectedBackground), Css(table_defaults::kSelectedText));
}

QString HeaderStyle(Rgb background) {
    return QStringLiteral("QHeaderView { background-color: %1; } ").arg(Css(background)) +
           FixedCellStyle(QStringLiteral("QHeaderView::section"));
}

}  // namespace

ResultTableView::ResultTableView(ResultTableModel* model, QWidget* parent)
    : QTableView(parent), model_(model), corner_(new QLabel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSortingEnabled(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);  // ours lies on top of it

    QPalette colours = palette();
    colours.setColor(QPalette::Highlight, ToQColor(table_defaults::kSelectedBackground));
    colours.setColor(QPalette::HighlightedText, ToQColor(table_defaults::kSelectedText));
    colours.setColor(QPalette::Text, ToQColor(table_defaults::kText));
    setPalette(colours);

    QHeaderView* columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setMinimumSectionSize(0);
    columns->setDefaultSectionSize(table_defaults::kColumnWidth);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Uniform, fixed row heights: a million rows then cost the header no work per row.
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setHighlightSections(false);
    rows->setMinimumSectionSize(0);
    rows->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    corner_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    corner_->setStyleSheet(FixedCellStyle(QStringLiteral("QLabel")));

    // Installed before the click filter, which must see a press on the border first.
    auto* grip = new NumberColumnGrip(
        [this](const QObject* watched, QPoint position) {
            return IsOnNumberColumnBorder(watched, position);
        },
        [this] { return verticalHeader()->width(); },
        [this](int width) { SetNumberColumnWidth(width); }, this);
    grip->Watch(corner_);
    grip->Watch(columns->viewport());

    auto* clicks = new FixedCellClickFilter(
        [this](const QObject* watched, QPoint position) {
            return LocateFixedCell(watched, position);
        },
        this);
    clicks->Watch(columns->viewport());
    clicks->Watch(rows->viewport());
    clicks->Watch(corner_);
    clicks->Watch(viewport());  // its pointer moves count too
    connect(clicks, &FixedCellClickFilter::Clicked, this, &ResultTableView::FixedCellClicked);
    connect(clicks, &FixedCellClickFilter::DoubleClicked, this,
            &ResultTableView::FixedCellDoubleClicked);
    // The corner selects every data cell as soon as it is pressed, like the headers do.
    corner_->installEventFilter(this);

    // A right click on a column's header cell offers the operations on that column; clicks
    // and double clicks with the left button keep their roles.
    columns->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(columns, &QHeaderView::customContextMenuRequested, this, [this](QPoint position) {
        const int view_column = horizontalHeader()->logicalIndexAt(position.x());
        if (view_column < 0) return;
        OpenColumnMenu(view_column + model_->Table().FixedColumnCount(),
                       horizontalHeader()->viewport()->mapToGlobal(position));
    });
    connect(columns, &QHeaderView::sectionResized, this,
            [this](int view_column, int, int width) { KeepColumnWidth(view_column, width); });
    // A new table also empties the selection: the model reset does that.
    connect(model_, &QAbstractItemModel::modelReset, this, &ResultTableView::ApplyTable);
    ApplyTable();
}

QMenu* ResultTableView::OpenColumnMenu(int column, QPoint global_position) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("column_menu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const std::pair<const char*, ColumnOperation> entries[] = {
        {"解码字符实体", ColumnOperation::kDecodeEntities},
        {"补全相对链接…", ColumnOperation::kResolveLinks},
        {"整理空白", ColumnOperation::kTrim},
        {"按此列去重", ColumnOperation::kUnique},
        {"按此列排序", ColumnOperation::kSort},
    };
    for (const auto& entry : entries) {
        const ColumnOperation operation = entry.second;
        connect(menu->addAction(QString::fromUtf8(entry.first)), &QAction::triggered, this,
                [this, operation, column] { emit ColumnOperationChosen(operation, column); });
    }
    menu->popup(global_position);
    return menu;
}

SelectionRect ResultTableView::Selection() const {
    // Bounds of the selection's ranges rather than its cells: instant for a million rows.
    const QItemSelection ranges = selectionModel()->selection();
    int top = INT_MAX;
    int left = INT_MAX;
    int bottom = -1;
    int right = -1;
    for (const QItemSelectionRange& range : ranges) {
        if (!range.isValid()) continue;
        top = std::min(top, range.top());
        left = std::min(left, range.left());
        bottom = std::max(bottom, range.bottom());
        right = std::max(right, range.right());
    }
    if (bottom < 0 || right < 0) return {};
    const ResultTable& table = model_->Table();
    return {top + table.FixedRowCount(), left + table.FixedColumnCount(),
            bottom + table.FixedRowCount(), right + table.FixedColumnCount()};
}

void ResultTableView::CopySelection() const {
    QApplication::clipboard()->setText(
        ProgramTextToQString(TabSeparatedText(model_->Table(), Selection())));
}

HeadingWidthFunction ResultTableView::HeadingWidth() const {
    return [metrics = QFontMetrics(horizontalHeader()->font())](std::string_view heading) {
        return metrics.horizontalAdvance(ProgramTextToQString(heading)) + 2 * kCellPadding +
               kGridLineWidth;
    };
}

void ResultTableView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        CopySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultTableView::updateGeometries() {
    QTableView::updateGeometries();
    const QHeaderView* columns = horizontalHeader();
    const QHeaderView* rows = verticalHeader();
    corner_->setVisible(!columns->isHidden() && !rows->isHidden());
    corner_->setGeometry(rows->x(), columns->y(), rows->width(), columns->height());
    corner_->raise();
}

void ResultTableView::ApplyTable() {
    applying_table_ = true;
    const ResultTable& table = model_->Table();
    const int row_height = table.RowCount() > 0 ? table.RowHeight(0) : table_defaults::kRowHeight;
    QHeaderView* rows = verticalHeader();
    QHeaderView* columns = horizontalHeader();
    // Changing the default resizes every row section, so only when it really changes.
    if (rows->defaultSectionSize() != row_height) rows->setDefaultSectionSize(row_height);
    rows->setVisible(table.FixedColumnCount() > 0);
    columns->setVisible(table.FixedRowCount() > 0);
    // The heading row is as high as a row, or higher when its font needs more.
    const int heading_height = QFontMetrics(columns->font()).height() + kCellPadding;
    columns->setFixedHeight(std::max(row_height, heading_height));
    corner_->setText(model_->CornerText());
    FitNumberColumn();
    rows->setFixedWidth(std::max(table.ColumnWidth(0), 0));
    for (int c = table.FixedColumnCount(); c < table.ColumnCount(); ++c) {
        const int view_column = c - table.FixedColumnCount();
        const int width = table.ColumnWidth(c);
        if (columns->sectionSize(view_column) != width) columns->resizeSection(view_column, width);
    }
    ApplyBackground(table.BackgroundColour());
    applying_table_ = false;
    updateGeometries();
}

void ResultTableView::FitNumberColumn() {
    const ResultTable& table = model_->Table();
    if (table.FixedColumnCount() == 0) return;
    // The corner's heading, as the corner draws it, and the last row's number, the largest,
    // must both fit.
    int needed = corner_->sizeHint().width();
    if (table.RowCount() > table.FixedRowCount()) {
        const CellResult largest = table.GetCell(table.RowCount() - 1, 0);
        needed = std::max(needed, HeadingWidth()(largest.value_or(std::string_view())));
    }
    if (table.ColumnWidth(0) < needed) model_->SetColumnWidth(0, needed);
}

void ResultTableView::SetNumberColumnWidth(int width) {
    model_->SetColumnWidth(0, width);
    verticalHeader()->setFixedWidth(width);
    updateGeometries();
}

void ResultTableView::ApplyBackground(Rgb background) {
    // Setting a style sheet polishes the view again, so only when the colour changes.
    if (shown_background_ == background) return;
    shown_background_ = background;
    setStyleSheet(ViewStyle(background));
    const QString header_style = HeaderStyle(background);
    horizontalHeader()->setStyleSheet(header_style);
    verticalHeader()->setStyleSheet(header_style);
}

void ResultTableView::KeepColumnWidth(int view_column, int width) {
    if (applying_table_) return;
    const int table_column = view_column + model_->Table().FixedColumnCount();
    if (model_->Table().ColumnWidth(table_column) != width) {
        model_->SetColumnWidth(table_column, width);
    }
}

std::optional<FixedCellClickFilter::Hit> ResultTableView::LocateFixedCell(const QObject* watched,
                                                                          QPoint position) const {
    const ResultTable& table = model_->Table();
    if (watched == corner_) {
        return FixedCellClickFilter::Hit{0, 0, IsOnNumberColumnBorder(watched, position)};
    }
    if (watched == horizontalHeader()->viewport()) {
        const int view_column = horizontalHeader()->logicalIndexAt(position.x());
        if (view_column < 0) return std::nullopt;
        return FixedCellClickFilter::Hit{
            0, view_column + table.FixedColumnCount(),
            IsOnColumnBorder(position.x()) || IsOnNumberColumnBorder(watched, position)};
    }
    if (watched == verticalHeader()->viewport()) {
        const int view_row = verticalHeader()->logicalIndexAt(position.y());
        if (view_row < 0) return std::nullopt;
        return FixedCellClickFilter::Hit{view_row + table.FixedRowCount(), 0, false};
    }
    return std::nullopt;  // the data cells
}

bool ResultTableView::IsOnColumnBorder(int x) const {
    // The header's own test for a press that begins a resize: within the grip margin of a
    // section's right edge, or of its left edge when a section lies before it.
    const QHeaderView* columns = horizontalHeader();
    const int visual = columns->visualIndexAt(x);
    if (visual < 0) return false;
    const int logical = columns->logicalIndex(visual);
    const int start = columns->sectionViewportPosition(logical);
    const int grip = columns->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, columns);
    if (x > start + columns->sectionSize(logical) - grip) return true;
    if (x < start + grip) {
        for (int before = visual - 1; before >= 0; --before) {
            if (!columns->isSectionHidden(columns->logicalIndex(before))) return true;
        }
    }
    return false;
}

bool ResultTableView::IsOnNumberColumnBorder(const QObject* watched, QPoint position) const {
    const QHeaderView* columns = horizontalHeader();
    if (verticalHeader()->isHidden()) return false;
    const int grip = columns->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, columns);
    // The border lies between the corner and the first column header, while the columns are
    // not scrolled away from it.
    if (watched == corner_) return position.x() >= corner_->width() - grip;
    if (watched == columns->viewport()) return columns->offset() == 0 && position.x() < grip;
    return false;
}

bool ResultTableView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner_ && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            !IsOnNumberColumnBorder(watched, mouse->position().toPoint())) {
            selectAll();
        }
    }
    return QTableView::eventFilter(watched, event);
}

}  // namespace lintaro
