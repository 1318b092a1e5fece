// Where every control of the window stands at a given client size.
#include "app/window_layout.h"

#include <algorithm>
#include <cstddef>

#include "app/layout_controls.h"

namespace lintaro {

namespace {

// The width from which the export button, right-aligned under the pattern box, clears the
// format strip (it ends 240 pixels from the right edge and is 96 wide).
constexpr int kExportBesideStripWidth = 800 + 96 + 240;
// The width below which the column-role line, the right-most fixed control, would reach the
// edge; the controls then move left.
constexpr int kRoleLineClearWidth = 864 + 16;
// How far the controls may move left: the pattern box's heading then starts 16 pixels in.
constexpr int kLargestShift = 120;

void MoveLeft(ControlBox& box, int shift) {
    box.left -= shift;
}

}  // namespace

WindowLayout FitWindow(int client_width, int client_height) {
    const int width = std::max(client_width, kMinimumClientWidth);
    const int height = std::max(client_height, kMinimumClientHeight);

    WindowLayout layout{kControlDesign, {}};
    for (std::size_t i = 0; i < layout.format_buttons.size(); ++i) {
        layout.format_buttons[i] = kFormatButtonDesign[i].box;
    }

    const int shift = std::clamp(kRoleLineClearWidth - width, 0, kLargestShift);
    ControlDesign& c = layout.controls;
    for (ControlBox* box : {&c.match_button, &c.export_button, &c.format_heading, &c.role_line,
                            &c.count_line, &c.table, &c.drop_heading, &c.ignore_case_box,
                            &c.pattern_heading, &c.drop_zone, &c.pattern_edit, &c.format_panel}) {
        MoveLeft(*box, shift);
    }
    for (ControlBox& box : layout.format_buttons) MoveLeft(box, shift);

    const ControlLayout fitted = LayoutControls(SizeFollowingControls(c), width, height);
    c.table = fitted.table;
    c.pattern_edit = fitted.pattern_edit;
    c.count_line = fitted.count_line;
    c.drop_zone = fitted.drop_zone;
    c.match_button = fitted.match_button;
    c.export_button = fitted.export_button;
    c.side_bar = fitted.side_bar;

    if (width < kExportBesideStripWidth) {
        // Just below the strip's frame, above the column-role line.
        c.export_button.top = c.format_panel.top + c.format_panel.height + 1;
    }
    return layout;
}

}  // namespace lintaro
