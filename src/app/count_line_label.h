// The result-count line: the count a match run writes and, after it, a notice.
#pragma once

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QString>

#include <optional>

namespace lintaro {

struct RunNotice;
enum class NoticeKind;

// Shows the count line as plain text. A notice follows it in the colour of its kind, cut to
// the room the count leaves, with the whole detail as the tooltip, and cut again when the
// line's width changes; the next count line alone clears it. A notice may end in a link that offers
// to read the file in another character set.
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
    // The colour a notice of kind is drawn in on a label with palette: an error stands out in
    // red; no value means the label's ordinary text colour.
    static std::optional<QColor> NoticeColour(NoticeKind kind, const QPalette& palette);

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
    NoticeKind notice_kind_;
    QString offered_charset_;
};

}  // namespace lintaro
