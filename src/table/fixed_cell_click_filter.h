// Turns mouse input on the table's fixed cells into its click and double-click events.
#pragma once

#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>

class QWidget;

namespace lintaro {

// Watches the widgets that show fixed cells (and the data area, whose pointer moves count
// too) and reports clicks by the table's own rules, which Qt's header signals do not follow:
// - a left release over a fixed cell is a click, unless its press began a column resize, the
//   last pointer move before it was made with the button held, or it ends a double click;
// - the second press of a double click over a fixed cell is a double click, unless it began a
//   column resize.
// The events pass on unchanged, so the widgets still select and resize as usual.
class FixedCellClickFilter : public QObject {
    Q_OBJECT

  public:
    // The fixed cell at a point of a watched widget; no value where no fixed cell is.
    struct Hit {
        int row = 0;
        int column = 0;
        bool on_column_border = false;  // a press here begins a column resize
    };
    using Locator = std::function<std::optional<Hit>(const QObject* watched, QPoint position)>;

    explicit FixedCellClickFilter(Locator locator, QObject* parent = nullptr);

    void Watch(QWidget* widget);

  signals:
    void Clicked(int row, int column);
    void DoubleClicked(int row, int column);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Locator locator_;
    bool last_move_with_button_down_ = false;
    bool press_began_resize_ = false;
    bool release_ends_double_click_ = false;
};

}  // namespace lintaro
