// The result-count line: the count a match run writes and, after it, the run's notice in red.
#include "app/count_line_label.h"

#include <QColor>
#include <QFontMetrics>

#include <algorithm>

#include "app/run_notice.h"

namespace lintaro {

namespace {
const QColor kNoticeColour(208, 0, 0);
}  // namespace

CountLineLabel::CountLineLabel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(this, &QLabel::linkActivated, this, &CountLineLabel::CharsetChosen);
}

QString CountLineLabel::OfferCaption(const QString& charset) {
    return QStringLiteral("改按 %1 读取").arg(charset);
}

void CountLineLabel::SetCountLine(const QString& line) {
    count_line_ = line;
    setTextFormat(Qt::PlainText);
    setText(count_line_);
    setToolTip(QString());
    notice_brief_.clear();
    notice_detail_.clear();
    offered_charset_.clear();
}

void CountLineLabel::ShowNotice(const RunNotice& notice, const QString& offered_charset) {
    if (notice.IsEmpty()) {
        SetCountLine(count_line_);
        return;
    }
    // The notice takes what room the count line leaves and loses its end if it needs more;
    // the tooltip has it whole.
    const QString gap = QStringLiteral("   ");
    const QString html_gap = QString(gap).replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
    const QFontMetrics metrics(font());
    const QString offer = offered_charset.isEmpty() ? QString() : OfferCaption(offered_charset);
    // The offer is never cut: the brief gives up its room first.
    const int room = width() - metrics.horizontalAdvance(count_line_ + gap) -
                     (offer.isEmpty() ? 0 : metrics.horizontalAdvance(gap + offer));
    const QString brief = metrics.elidedText(notice.brief, Qt::ElideRight, std::max(room, 0));
    // The set's name goes into the link as it came; a name iconv knows holds no markup, and
    // escaping keeps it so in any case.
    const QString link = offer.isEmpty() ? QString()
                                         : QStringLiteral("%1<a href=\"%2\">%3</a>")
                                               .arg(html_gap, offered_charset.toHtmlEscaped(),
                                                    offer.toHtmlEscaped());
    setTextFormat(Qt::RichText);
    const QColor colour = notice.is_error ? kNoticeColour : palette().color(foregroundRole());
    setText(QStringLiteral("%1%2<span style=\"color:%3\">%4</span>%5")
                .arg(count_line_.toHtmlEscaped(), html_gap, colour.name(), brief.toHtmlEscaped(),
                     link));
    setToolTip(
        offer.isEmpty()
            ? notice.detail
            : notice.detail +
                  QStringLiteral("\n点击“%1”可按 %2 重新读取文件。").arg(offer, offered_charset));
    notice_brief_ = notice.brief;
    notice_is_error_ = notice.is_error;
    notice_detail_ = notice.detail;
    offered_charset_ = offered_charset;
}

void CountLineLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (!notice_brief_.isEmpty()) {
        ShowNotice(RunNotice{notice_brief_, notice_detail_, notice_is_error_}, offered_charset_);
    }
}

}  // namespace lintaro
