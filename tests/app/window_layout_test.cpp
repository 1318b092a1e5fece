// Tests of where the controls stand at every client size the window allows.
#include "app/window_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/layout_controls.h"

namespace lintaro {
namespace {

struct Placed {
    std::string name;
    ControlBox box;
    int least_width;  // narrower than this the control's caption or content is not readable
};

// The controls the user sees; the hidden side bar and the panel behind the format buttons
// (which frames them by design) are left out.
std::vector<Placed> VisibleControls(const WindowLayout& layout) {
    const ControlDesign& c = layout.controls;
    std::vector<Placed> placed = {
        {"match_button", c.match_button, 96},       {"export_button", c.export_button, 96},
        {"format_heading", c.format_heading, 64},   {"role_line", c.role_line, 600},
        {"count_line", c.count_line, 240},          {"table", c.table, 400},
        {"drop_heading", c.drop_heading, 96},       {"ignore_case_box", c.ignore_case_box, 136},
        {"pattern_heading", c.pattern_heading, 96}, {"drop_zone", c.drop_zone, 240},
        {"pattern_edit", c.pattern_edit, 240},
    };
    for (std::size_t i = 0; i < layout.format_buttons.size(); ++i) {
        placed.push_back({kFormatButtonDesign[i].name, layout.format_buttons[i],
                          kFormatButtonDesign[i].box.width});
    }
    return placed;
}

struct SizeCase {
    int width;
    int height;
};

bool Overlap(const ControlBox& a, const ControlBox& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

bool Inside(const ControlBox& box, int width, int height) {
    return box.left >= 0 && box.top >= 0 && box.left + box.width <= width &&
           box.top + box.height <= height;
}

TEST(FitWindow, EveryControlWholeAndApartAtEverySizeTheWindowAllows) {
    const int widths[] = {kMinimumClientWidth,
                          761,
                          798,
                          820,
                          879,
                          880,
                          958,
                          1000,
                          1022,
                          1135,
                          1136,
                          1278,
                          1300,
                          1600,
                          1920,
                          2560};
    const int heights[] = {kMinimumClientHeight, 425, 456, 517, 577, 697, 745, 769, 1000};
    for (const int w : widths) {
        for (const int h : heights) {
            const std::vector<Placed> placed = VisibleControls(FitWindow(w, h));
            for (std::size_t i = 0; i < placed.size(); ++i) {
                const Placed& a = placed[i];
                EXPECT_TRUE(Inside(a.box, w, h)) << a.name << " at " << w << "x" << h;
                EXPECT_GE(a.box.width, a.least_width) << a.name << " at " << w << "x" << h;
                EXPECT_GT(a.box.height, 0) << a.name << " at " << w << "x" << h;
                for (std::size_t j = i + 1; j < placed.size(); ++j) {
                    EXPECT_FALSE(Overlap(a.box, placed[j].box))
                        << a.name << " and " << placed[j].name << " at " << w << "x" << h;
                }
            }
            // The format buttons stay inside the framed panel behind them.
            const ControlBox& panel = FitWindow(w, h).controls.format_panel;
            for (const ControlBox& button : FitWindow(w, h).format_buttons) {
                EXPECT_TRUE(button.left >= panel.left &&
                            button.left + button.width <= panel.left + panel.width)
                    << w << "x" << h;
            }
        }
    }
}

TEST(FitWindow, TheDesignArithmeticHoldsUnchangedWhereTheStripLeavesRoom) {
    for (const SizeCase& size :
         {SizeCase{1136, 424}, SizeCase{1300, 769}, SizeCase{1300, 500}, SizeCase{1920, 1080}}) {
        const WindowLayout layout = FitWindow(size.width, size.height);
        const ControlLayout described = LayoutControls(DesignLayout(), size.width, size.height);
        const ControlDesign& c = layout.controls;
        EXPECT_EQ((ControlLayout{c.table, c.pattern_edit, c.count_line, c.drop_zone, c.match_button,
                                 c.export_button, c.side_bar}),
                  described)
            << size.width << "x" << size.height;
        EXPECT_EQ(c.format_panel, kControlDesign.format_panel);
        EXPECT_EQ(c.role_line, kControlDesign.role_line);
    }
}

}  // namespace
}  // namespace lintaro
