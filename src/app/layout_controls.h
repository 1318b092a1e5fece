// The arithmetic that fits the window's seven size-following controls to its client area.
#pragma once

namespace lintaro {

// A control's place in client-area pixels. Width and height may come out negative when
// the client area is smaller than the fixed offsets; the window shows those as zero.
struct ControlBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const ControlBox&, const ControlBox&) = default;
};

// The seven controls that follow the window's size.
struct ControlLayout {
    ControlBox table;          // 高级表格1
    ControlBox pattern_edit;   // 编辑框1
    ControlBox count_line;     // 标签4
    ControlBox drop_zone;      // 标签1
    ControlBox match_button;   // 按钮1
    ControlBox export_button;  // 按钮2
    ControlBox side_bar;       // 图片框1
    friend bool operator==(const ControlLayout&, const ControlLayout&) = default;
};

// Fits current to a client area of client_width x client_height. Each step works in double
// precision, truncates toward zero and sees the values stored by the steps before it, so
// the table ends at least 32 pixels above the bottom edge with a height that is a multiple
// of 32, and the buttons end where the pattern box ends. The count line, widened so that a
// notice fits after the count, keeps equal margins like the pattern box.
ControlLayout LayoutControls(const ControlLayout& current, int client_width, int client_height);

}  // namespace lintaro
