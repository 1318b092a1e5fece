// The arithmetic that fits the window's seven size-following controls to its client area.
#include "app/layout_controls.h"

#include <cmath>

namespace lintaro {

namespace {

// The row height the table's height is rounded down to.
constexpr double kTableStep = 32.0;

int Truncate(double value) {
    return static_cast<int>(std::trunc(value));
}

}  // namespace

ControlLayout LayoutControls(const ControlLayout& current, int client_width, int client_height) {
    const double w = client_width;
    const double h = client_height;
    ControlLayout next = current;

    next.table.width = Truncate(w - next.table.left);
    // fmod keeps the sign of the dividend, as truncating division does.
    const double below_table = h - next.table.top;
    const double remainder = std::fmod(below_table, kTableStep);
    next.table.height = Truncate(below_table - kTableStep - remainder);

    next.pattern_edit.width = Truncate(w - 2.0 * next.pattern_edit.left);
    next.count_line.width = Truncate(w - 2.0 * next.count_line.left);
    next.drop_zone.width = Truncate(w - 2.0 * next.drop_zone.left);

    const double pattern_right =
        static_cast<double>(next.pattern_edit.left) + static_cast<double>(next.pattern_edit.width);
    next.match_button.left = Truncate(pattern_right - next.match_button.width);
    next.export_button.left = Truncate(pattern_right - next.export_button.width);

    next.side_bar.height = Truncate(h);
    return next;
}

}  // namespace lintaro
