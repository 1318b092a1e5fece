// Where every control of the window stands at a given client size.
#pragma once

#include <array>
#include <iterator>

#include "app/control_design.h"

namespace lintaro {

// The smallest client area at which every control is whole, readable and clickable.
inline constexpr int kMinimumClientWidth = 760;
inline constexpr int kMinimumClientHeight = 424;
// The client area the design describes (its outer size less the frame it assumes).
inline constexpr int kDesignClientWidth = 1300;
inline constexpr int kDesignClientHeight = 769;

// Every control's place: the design's controls and the format buttons, left to right.
struct WindowLayout {
    ControlDesign controls;
    std::array<ControlBox, std::size(kFormatButtonDesign)> format_buttons;
};

// Places the controls in a client area of client_width x client_height. Where the design's
// arithmetic (LayoutControls) leaves every control whole, it is used as it stands. Narrower
// than the strip of format buttons plus the export button, the export button moves below the
// strip; narrower than the column-role line allows, the controls move left together, into the
// empty room left of the headings, by up to 120 pixels. Sizes below the minimum are laid out
// as the minimum.
WindowLayout FitWindow(int client_width, int client_height);

}  // namespace lintaro
