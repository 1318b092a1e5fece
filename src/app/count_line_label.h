// The result-count line: the count a match run writes and, after it, the run's notice in red.
#pragma once

#include <QLabel>
#include <QString>

namespace lintaro {

struct RunNotice;

// Shows the count line as plain text. A notice follows it in red, cut to the room the count
// leaves, with the whole detail as the tooltip, and cut again when the line's width changes;
// the next count line alone clears it. A notice may end in a link that offers to read the file
// in another character set.
class CountLineLabel : public QLabel {
    Q_OBJECT
  public:
    explicit CountLineLabel(QWidget* parent = nullptr);

    // Shows line alone, without a notice or tooltip.
    void SetCountLine(const QString& line);
    // Shows notice after the current count line; an empty notice leaves the count alone.
    // With offered_charset, the notice ends in a link that offers it.
    void ShowNotice(const RunNotice& notice, const QString& offered_charset = {});

    // The caption of the link that offers charset.
    static QString OfferCaption(const QString& charset);

  signals:
    // The offer's link was clicked.
    void CharsetChosen(const QString& charset);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The last count line, kept as plain text so that a notice can follow it.
    QString count_line_;
    // The notice shown after it, kept whole so that it can be cut again; empty when none.
    QString notice_brief_;
    QString notice_detail_;
    bool notice_is_error_ = true;
    QString offered_charset_;
};

}  // namespace lintaro
