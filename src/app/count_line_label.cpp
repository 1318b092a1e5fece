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
}

void CountLineLabel::SetCountLine(const QString& line) {
    count_line_ = line;
    setTextFormat(Qt::PlainText);
    setText(count_line_);
    setToolTip(QString());
    notice_brief_.clear();
    notice_detail_.clear();
}

void CountLineLabel::ShowNotice(const RunNotice& notice) {
    if (notice.IsEmpty()) {
        SetCountLine(count_line_);
        return;
    }
    // The notice takes what room the count line leaves and loses its end if it needs more;
    // the tooltip has it whole.
    const QString gap = QStringLiteral("   ");
    const QFontMetrics metrics(font());
    const int room = width() - metrics.horizontalAdvance(count_line_ + gap);
    const QString brief = metrics.elidedText(notice.brief, Qt::ElideRight, std::max(room, 0));
    setTextFormat(Qt::RichText);
    setText(QStringLiteral("%1%2<span style=\"color:%3\">%4</span>")
                .arg(count_line_.toHtmlEscaped(),
                     QString(gap).replace(QLatin1Char(' '), QStringLiteral("&nbsp;")),
                     kNoticeColour.name(), brief.toHtmlEscaped()));
    setToolTip(notice.detail);
    notice_brief_ = notice.brief;
    notice_detail_ = notice.detail;
}

void CountLineLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (!notice_brief_.isEmpty()) ShowNotice(RunNotice{notice_brief_, notice_detail_});
}

}  // namespace lintaro
