// Turns mouse input on the table's fixed cells into its click and double-click events.
#include "table/fixed_cell_click_filter.h"

#include <QMouseEvent>
#include <QWidget>

#include <utility>

namespace lintaro {

FixedCellClickFilter::FixedCellClickFilter(Locator locator, QObject* parent)
    : QObject(parent), locator_(std::move(locator)) {}

void FixedCellClickFilter::Watch(QWidget* widget) {
    // Moves with the button up count too, and only tracking widgets receive those.
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool FixedCellClickFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    if (type == QEvent::MouseMove) {
        last_move_with_button_down_ = mouse->buttons().testFlag(Qt::LeftButton);
        return false;
    }
    if (mouse->button() != Qt::LeftButton) return false;
    const std::optional<Hit> hit = locator_(watched, mouse->position().toPoint());
    switch (type) {
        case QEvent::MouseButtonPress:
            press_began_resize_ = hit && hit->on_column_border;
            release_ends_double_click_ = false;
            break;
        case QEvent::MouseButtonDblClick:
            // Qt sends the double click right after the second press, at the same point, so
            // whether that press began a resize is decided here again from the position.
            press_began_resize_ = hit && hit->on_column_border;
            release_ends_double_click_ = true;
            if (hit && !press_began_resize_) emit DoubleClicked(hit->row, hit->column);
            break;
        default: {  // the release
            const bool is_click = hit && !press_began_resize_ && !last_move_with_button_down_ &&
                                  !release_ends_double_click_;
            press_began_resize_ = false;
            release_ends_double_click_ = false;
            if (is_click) emit Clicked(hit->row, hit->column);
            break;
        }
    }
    return false;
}

}  // namespace lintaro
