// DateTimeText at whole hours, minutes and seconds.
#include "export/date_time_text.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

TEST(DateTimeTextTest, LeavesOutTrailingZeroFields) {
    const std::vector<std::pair<LocalDateTime, std::string>> cases = {
        {{2022, 3, 9, 8, 5, 7}, "2022年3月9日8时5分7秒"},
        {{2022, 3, 9, 8, 0, 7}, "2022年3月9日8时0分7秒"},
        {{2022, 3, 9, 8, 5, 0}, "2022年3月9日8时5分"},
        {{2022, 3, 9, 8, 0, 0}, "2022年3月9日8时"},
        {{2022, 3, 9, 0, 0, 0}, "2022年3月9日"},
        {{2022, 12, 31, 0, 0, 1}, "2022年12月31日0时0分1秒"},
        {{2022, 12, 31, 23, 59, 0}, "2022年12月31日23时59分"},
    };
    for (const auto& [moment, text] : cases) EXPECT_EQ(DateTimeText(moment), text);
}

}  // namespace
}  // namespace lintaro
