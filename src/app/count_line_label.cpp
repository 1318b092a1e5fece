// The result-count line: the count a match run writes and, after it, the run's notice in red.
#include "app/count_line_label.h"

#include <QColor>
#include <QFontMetrics>

#include <algorithm>
#include <optional>

#include "app/run_notice.h"

namespace lintaro {

namespace {

// Red on the light window; a lighter red where the label's background is dark.
const QColor kErrorOnLight(208, 0, 0);
const QColor kErrorOnDark(255, 128, 128);

}  // namespace

std::optional<QColor> CountLineLabel::NoticeColour(NoticeKind kind, const QPalette& palette) {
    if (kind == NoticeKind::kInformation) return std::nullopt;
    return palette.color(QPalette::Window).lightness() < 128 ? kErrorOnDark : kErrorOnLight;
}

CountLineLabel::CountLineLabel(QWidget* parent) : QLabel(parent), notice_kind_(NoticeKind::kError) {
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
    const std::optional<QColor> colour = NoticeColour(notice.kind, palette());
    const QString shown_brief = colour ? QStringLiteral("<span style=\"color:%1\">%2</span>")
                                             .arg(colour->name(), brief.toHtmlEscaped())
                                       : brief.toHtmlEscaped();
    setTextFormat(Qt::RichText);
    setText(count_line_.toHtmlEscaped() + html_gap + shown_brief + link);
    setToolTip(
        offer.isEmpty()
            ? notice.detail
            : notice.detail +
                  QStringLiteral("\n点击“%1”可按 %2 重新读取文件。").arg(offer, offered_charset));
    notice_brief_ = notice.brief;
    notice_detail_ = notice.detail;
    notice_kind_ = notice.kind;
    offered_charset_ = offered_charset;
}

void CountLineLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (!notice_brief_.isEmpty()) {
        ShowNotice(RunNotice{notice_brief_, notice_detail_, notice_kind_}, offered_charset_);
    }
}

}  // namespace lintaro
