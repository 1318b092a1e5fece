// Where the window opens on a screen.
#include "app/window_placement.h"

#include <algorithm>

namespace lintaro {

namespace {

// Where a framed length outer starts in an area of length room starting at start: centred,
// or at the start when it does not fit.
int Start(int start, int room, int outer) {
    return outer <= room ? start + (room - outer) / 2 : start;
}

}  // namespace

QRect PlaceWindow(const QRect& available, const QMargins& frame, const QSize& design_client,
                  const QSize& minimum_client) {
    const int frame_width = frame.left() + frame.right();
    const int frame_height = frame.top() + frame.bottom();
    const int width = std::max(std::min(design_client.width(), available.width() - frame_width),
                               minimum_client.width());
    const int height = std::max(std::min(design_client.height(), available.height() - frame_height),
                                minimum_client.height());
    const int left = Start(available.left(), available.width(), width + frame_width);
    const int top = Start(available.top(), available.height(), height + frame_height);
    return {left + frame.left(), top + frame.top(), width, height};
}

}  // namespace lintaro
