// The drop zone: a framed label that takes local files dragged onto it.
#pragma once

#include <QByteArray>
#include <QLabel>
#include <QList>

class QMimeData;

namespace lintaro {

// Accepts drags that carry only local files (file: URLs) and reports the dropped paths;
// text, web links and HTML are refused so the pointer shows that nothing can be dropped.
// It reports and the window decides. Paths are the bytes the system gave, which need not be
// UTF-8: the zone keeps them for opening and exporting, and its caption and tooltip show a
// readable form. The caption is drawn on one line, as a path list ending in line breaks must
// not spread over several lines.
class DropZone : public QLabel {
    Q_OBJECT
  public:
    // Shows caption and holds path until a file is shown.
    DropZone(const QString& caption, const QByteArray& path, QWidget* parent = nullptr);

    // The local paths a drag carries, as bytes, in the order of its data; empty when the drag
    // holds anything that is not a local file.
    static QList<QByteArray> LocalFilePaths(const QMimeData* data);

    // Holds path and shows it readably, in the caption and, whole, in the tooltip.
    void ShowPath(const QByteArray& path);
    // The path a match run reads and beside which an export is written.
    const QByteArray& Path() const { return path_; }

  signals:
    void FilesDropped(const QList<QByteArray>& paths);
    void DoubleClicked();

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // Accepts the drag as a copy when it carries local files only.
    static bool AcceptFiles(QDropEvent* event);

    QByteArray path_;
};

}  // namespace lintaro
