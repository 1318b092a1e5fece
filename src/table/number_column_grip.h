// Lets the user drag the number column's right border, which no QHeaderView section owns.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class QWidget;

namespace lintaro {

// The number column is the vertical header, whose width Qt gives the user no handle for. This
// filter watches the widgets that show the column's border in the header row (the corner cell
// and the left edge of the column headers): a left press on the border, as on_border tells,
// starts a resize, moves with the button held set width + the distance moved (at least 0), and
// the release ends it. Those presses, moves and releases go no further, so the corner does not
// select and the headers do not start a selection; other input passes unchanged. Over the
// border the pointer shows the resize cursor.
class NumberColumnGrip : public QObject {
    Q_OBJECT

  public:
    using OnBorder = std::function<bool(const QObject* watched, QPoint position)>;
    using Width = std::function<int()>;
    using SetWidth = std::function<void(int width)>;

    NumberColumnGrip(OnBorder on_border, Width width, SetWidth set_width,
                     QObject* parent = nullptr);

    void Watch(QWidget* widget);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    OnBorder on_border_;
    Width width_;
    SetWidth set_width_;
    bool resizing_ = false;
    int start_x_ = 0;                 // global pointer position of the press
    int start_width_ = 0;             // the column's width at the press
    QPointer<QWidget> cursor_owner_;  // the widget that shows the resize cursor, if any
};

}  // namespace lintaro
