// The local date and time as it appears in export file names.
#pragma once

#include <string>

namespace lintaro {

// A local date and time in whole seconds; hour 0-23.
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The clock's current local date and time.
LocalDateTime CurrentLocalDateTime();

// "2022年3月9日8时5分7秒" in program text; trailing zero fields are left out from the right
// (seconds, then minutes, then hours), so midnight gives the date alone.
std::string DateTimeText(const LocalDateTime& moment);

}  // namespace lintaro
