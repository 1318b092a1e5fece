// Tests of the layout arithmetic that fits seven controls to the window's client area.
#include "app/layout_controls.h"

#include <gtest/gtest.h>

#include "app/control_design.h"

namespace lintaro {
namespace {

struct LayoutCase {
    const char* name;
    int width;
    int height;
    ControlLayout expected;
};

class LayoutControlsTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutControlsTest, FitsTheSevenControls) {
    const LayoutCase& c = GetParam();
    EXPECT_EQ(LayoutControls(DesignLayout(), c.width, c.height), c.expected);
}

// Fields: left, top, width, height. Only the table's size, the pattern box's, count line's
// and drop zone's widths, the buttons' lefts and the bar's height change.
INSTANTIATE_TEST_SUITE_P(
    Sizes, LayoutControlsTest,
    ::testing::Values(
        // 409 below the table's top = 12 x 32 + 25, so the table is 409 - 32 - 25 high.
        LayoutCase{"DesignSize",
                   1300,
                   769,
                   {.table = {240, 360, 1060, 352},
                    .pattern_edit = {240, 48, 820, 88},
                    .count_line = {240, 248, 820, 24},
                    .drop_zone = {239, 200, 822, 40},
                    .match_button = {964, 152, 96, 32},
                    .export_button = {964, 277, 96, 32},
                    .side_bar = {120, 0, 2, 769}}},
        // An exact multiple of 32 below the table still leaves one step free at the bottom.
        LayoutCase{"ExactMultipleBelowTable",
                   1000,
                   360 + 128,
                   {.table = {240, 360, 760, 96},
                    .pattern_edit = {240, 48, 520, 88},
                    .count_line = {240, 248, 520, 24},
                    .drop_zone = {239, 200, 522, 40},
                    .match_button = {664, 152, 96, 32},
                    .export_button = {664, 277, 96, 32},
                    .side_bar = {120, 0, 2, 488}}},
        // Less than one step below the table: 9 - 32 - 9.
        LayoutCase{"LessThanOneStepBelowTable",
                   479,
                   369,
                   {.table = {240, 360, 239, -32},
                    .pattern_edit = {240, 48, -1, 88},
                    .count_line = {240, 248, -1, 24},
                    .drop_zone = {239, 200, 1, 40},
                    .match_button = {143, 152, 96, 32},
                    .export_button = {143, 277, 96, 32},
                    .side_bar = {120, 0, 2, 369}}},
        // Above the table's top the remainder is negative: -160 = -5 x 32 + 0.
        LayoutCase{"SmallerThanTheOffsets",
                   300,
                   200,
                   {.table = {240, 360, 60, -192},
                    .pattern_edit = {240, 48, -180, 88},
                    .count_line = {240, 248, -180, 24},
                    .drop_zone = {239, 200, -178, 40},
                    .match_button = {-36, 152, 96, 32},
                    .export_button = {-36, 277, 96, 32},
                    .side_bar = {120, 0, 2, 200}}},
        // A minimised window: -360 = -11 x 32 - 8, so the height is -360 - 32 + 8.
        LayoutCase{"EmptyClientArea",
                   0,
                   0,
                   {.table = {240, 360, -240, -384},
                    .pattern_edit = {240, 48, -480, 88},
                    .count_line = {240, 248, -480, 24},
                    .drop_zone = {239, 200, -478, 40},
                    .match_button = {-336, 152, 96, 32},
                    .export_button = {-336, 277, 96, 32},
                    .side_bar = {120, 0, 2, 0}}}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST(LayoutControlsTest, ReachesTheSameLayoutFromAnyEarlierOne) {
    const ControlLayout shrunk = LayoutControls(DesignLayout(), 300, 200);
    EXPECT_EQ(LayoutControls(shrunk, 1300, 769), LayoutControls(DesignLayout(), 1300, 769));
}

}  // namespace
}  // namespace lintaro
