// Lets the user drag the number column's right border, which no QHeaderView section owns.
#include "table/number_column_grip.h"

#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace lintaro {

NumberColumnGrip::NumberColumnGrip(OnBorder on_border, Width width, SetWidth set_width,
                                   QObject* parent)
    : QObject(parent),
      on_border_(std::move(on_border)),
      width_(std::move(width)),
      set_width_(std::move(set_width)) {}

void NumberColumnGrip::Watch(QWidget* widget) {
    // Hover moves set the cursor, and only tracking widgets receive those.
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool NumberColumnGrip::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    const int global_x = static_cast<int>(mouse->globalPosition().x());
    if (resizing_) {
        if (type == QEvent::MouseMove) {
            set_width_(std::max(0, start_width_ + global_x - start_x_));
        } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
            resizing_ = false;
        }
        return true;
    }
    const bool on_border = on_border_(watched, mouse->position().toPoint());
    auto* widget = static_cast<QWidget*>(watched);
    if (type == QEvent::MouseMove) {
        if (on_border && mouse->buttons() == Qt::NoButton) {
            widget->setCursor(Qt::SplitHCursor);
            cursor_owner_ = widget;
            return true;
        }
        if (cursor_owner_ == widget) {
            widget->unsetCursor();
            cursor_owner_ = nullptr;
        }
        return false;
    }
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) && on_border &&
        mouse->button() == Qt::LeftButton) {
        resizing_ = true;
        start_x_ = global_x;
        start_width_ = width_();
        return true;
    }
    return false;
}

}  // namespace lintaro
