// The drop zone: a framed label that takes local files dragged onto it.
#include "app/drop_zone.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace lintaro {

DropZone::DropZone(const QString& caption, const QByteArray& path, QWidget* parent)
    : QLabel(caption, parent), path_(path) {
    setAcceptDrops(true);
}

QList<QByteArray> DropZone::LocalFilePaths(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return {};
    QList<QByteArray> paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        // The URL's percent-encoded path is the file's bytes; a QString could not carry the
        // ones that are not UTF-8.
        paths.append(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    }
    return paths;
}

void DropZone::ShowPath(const QByteArray& path) {
    path_ = path;
    const QString readable = QFile::decodeName(path);
    setText(readable);
    setToolTip(readable);
}

bool DropZone::AcceptFiles(QDropEvent* event) {
    if (LocalFilePaths(event->mimeData()).isEmpty() ||
        !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

void DropZone::dragEnterEvent(QDragEnterEvent* event) {
    AcceptFiles(event);
}

void DropZone::dragMoveEvent(QDragMoveEvent* event) {
    AcceptFiles(event);
}

void DropZone::dropEvent(QDropEvent* event) {
    if (AcceptFiles(event)) emit FilesDropped(LocalFilePaths(event->mimeData()));
}

void DropZone::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit DoubleClicked();
        event->accept();
        return;
    }
    QLabel::mouseDoubleClickEvent(event);
}

void DropZone::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    // Line breaks read as spaces; a caption wider than the box loses its middle, so the
    // start of the path and the file name stay in view.
    QString line = text();
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    const QRect area = contentsRect();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, int(alignment()) | Qt::TextSingleLine,
                     fontMetrics().elidedText(line, Qt::ElideMiddle, area.width()));
}

}  // namespace lintaro
