// Date-time texts for export file names, and the local clock.
#include "export/date_time_text.h"

#include <ctime>

#include "base/program_text.h"

namespace lintaro {
namespace {

void AppendNumber(std::u16string& text, int number, char16_t unit) {
    for (char digit : std::to_string(number)) text += static_cast<char16_t>(digit);
    text += unit;
}

}  // namespace

LocalDateTime CurrentLocalDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string DateTimeText(const LocalDateTime& moment) {
    std::u16string text;
    AppendNumber(text, moment.year, u'年');
    AppendNumber(text, moment.month, u'月');
    AppendNumber(text, moment.day, u'日');
    if (moment.second != 0) {
        AppendNumber(text, moment.hour, u'时');
        AppendNumber(text, moment.minute, u'分');
        AppendNumber(text, moment.second, u'秒');
    } else if (moment.minute != 0) {
        AppendNumber(text, moment.hour, u'时');
        AppendNumber(text, moment.minute, u'分');
    } else if (moment.hour != 0) {
        AppendNumber(text, moment.hour, u'时');
    }
    return Utf16ToProgramText(text);
}

}  // namespace lintaro
