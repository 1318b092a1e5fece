// The drop zone: a framed label that takes local files dragged onto it.
#pragma once

#include <QLabel>
#include <QStringList>

class QMimeData;

namespace lintaro {

// Accepts drags that carry only local files (file: URLs) and reports the dropped paths;
// text, web links and HTML are refused so the pointer shows that nothing can be dropped.
// It reports and the window decides. Its caption is drawn on one line, as a path list
// ending in line breaks must not spread over several lines.
class DropZone : public QLabel {
    Q_OBJECT
  public:
    explicit DropZone(const QString& caption, QWidget* parent = nullptr);

    // The local paths a drag carries, in the order of its data; empty when the drag holds
    // anything that is not a local file.
    static QStringList LocalFilePaths(const QMimeData* data);

  signals:
    void FilesDropped(const QStringList& paths);
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
};

}  // namespace lintaro
