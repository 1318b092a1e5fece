// Where the window opens on a screen.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace lintaro {

// The frame the design's outer size assumes around the client area (1316 x 808 outside,
// 1300 x 769 inside); used until the window manager tells the real one.
inline const QMargins kAssumedFrame(8, 31, 8, 8);

// The client geometry the window opens with on a screen whose available area is available,
// given the frame the window manager puts around it. The design client size when it fits,
// frame included; otherwise as large as the area allows, down to minimum_client. The framed
// window is centred in the area; one larger than the area starts at its top left corner, so
// that the title bar stays on screen.
QRect PlaceWindow(const QRect& available, const QMargins& frame, const QSize& design_client,
                  const QSize& minimum_client);

}  // namespace lintaro
