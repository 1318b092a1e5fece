// Where every control of the window stands when the window is created: the one design table.
#pragma once

#include <iterator>

#include "app/layout_controls.h"
#include "export/export_format.h"

namespace lintaro {

// Each control's rectangle in client-area pixels at creation, in the order the window
// creates them (later siblings draw on top of earlier ones); the format buttons, which come
// after the format heading, are in kFormatButtonDesign. LayoutControls moves seven of the
// controls on every size change; the others stay where they are.
struct ControlDesign {
    ControlBox match_button;     // 按钮1
    ControlBox export_button;    // 按钮2
    ControlBox format_heading;   // 标签6
    ControlBox side_bar;         // 图片框1
    ControlBox role_line;        // 标签5
    ControlBox count_line;       // 标签4
    ControlBox table;            // 高级表格1
    ControlBox drop_heading;     // 标签3
    ControlBox ignore_case_box;  // 选择框1
    ControlBox pattern_heading;  // 标签2
    ControlBox drop_zone;        // 标签1
    ControlBox pattern_edit;     // 编辑框1
    ControlBox format_panel;     // 图片框2
};

inline constexpr ControlDesign kControlDesign{
    .match_button = {896, 152, 96, 32},
    .export_button = {800, 277, 96, 32},
    .format_heading = {240, 280, 64, 24},
    .side_bar = {120, 0, 2, 432},
    .role_line = {240, 344, 624, 16},
    // As wide as the pattern box rather than 272 pixels, so that a notice fits after the count.
    .count_line = {240, 248, 992, 24},
    .table = {240, 360, 1016, 272},
    .drop_heading = {128, 200, 104, 40},
    .ignore_case_box = {240, 152, 136, 24},
    .pattern_heading = {136, 48, 96, 88},
    .drop_zone = {239, 200, 993, 40},
    .pattern_edit = {240, 48, 992, 88},
    .format_panel = {310, 276, 490, 34},
};

// A format's radio button in the strip of format buttons: the object name it carries and
// where it stands.
struct FormatButtonDesign {
    ExportFormat format;
    const char* name;
    ControlBox box;
};

// Left to right. The buttons' captions and their order of creation come from the format list.
inline constexpr FormatButtonDesign kFormatButtonDesign[] = {
    {ExportFormat::StyledLinkPage, "styled_links_radio", {320, 280, 112, 24}},   // 单选框1
    {ExportFormat::LinkList, "link_list_radio", {432, 280, 64, 24}},             // 单选框2
    {ExportFormat::PlainText, "text_radio", {504, 280, 56, 24}},                 // 单选框3
    {ExportFormat::HtmlTable, "table_radio", {560, 280, 88, 24}},                // 单选框4
    {ExportFormat::StyledTablePage, "styled_table_radio", {656, 280, 136, 24}},  // 单选框5
};

// The design of format's button; null when the strip has no place for it.
constexpr const FormatButtonDesign* FindFormatButtonDesign(ExportFormat format) {
    for (const FormatButtonDesign& button : kFormatButtonDesign) {
        if (button.format == format) return &button;
    }
    return nullptr;
}

constexpr bool EveryFormatHasOneButton() {
    for (const ExportFormatInfo& info : kExportFormats) {
        if (FindFormatButtonDesign(info.format) == nullptr) return false;
    }
    return std::size(kFormatButtonDesign) == std::size(kExportFormats);
}
// The strip is laid out in pixels and full: a new format needs a place there.
static_assert(EveryFormatHasOneButton(), "each export format needs one kFormatButtonDesign entry");

// The seven size-following controls of controls.
constexpr ControlLayout SizeFollowingControls(const ControlDesign& controls) {
    return ControlLayout{
        .table = controls.table,
        .pattern_edit = controls.pattern_edit,
        .count_line = controls.count_line,
        .drop_zone = controls.drop_zone,
        .match_button = controls.match_button,
        .export_button = controls.export_button,
        .side_bar = controls.side_bar,
    };
}

// The seven size-following controls where the design places them.
constexpr ControlLayout DesignLayout() {
    return SizeFollowingControls(kControlDesign);
}

}  // namespace lintaro
