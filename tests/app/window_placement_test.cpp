// Tests of where the window opens on screens of every size.
#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

TEST(PlaceWindow, DesignSizeCentredWhereItFitsElseAsLargeAsTheAreaWithTheTitleBarOnScreen) {
    const QSize design(1300, 769);
    const QSize minimum(760, 424);
    const QMargins openbox(1, 22, 1, 1);
    const struct {
        const char* name;
        QRect available;
        QMargins frame;
        QRect client;
    } cases[] = {
        // The design's own frame on a 1920 x 1080 screen: left = (1920 - 1316) / 2.
        {"design fits", {0, 0, 1920, 1080}, kAssumedFrame, {302 + 8, 136 + 31, 1300, 769}},
        {"area with a panel", {0, 30, 1920, 1050}, openbox, {310, 30 + 129 + 22, 1300, 769}},
        {"exact fit", {0, 0, 1302, 792}, openbox, {1, 22, 1300, 769}},
        {"1280 x 720: both shrink", {0, 0, 1280, 720}, openbox, {1, 22, 1278, 697}},
        {"1024 x 768", {0, 0, 1024, 768}, openbox, {1, 22, 1022, 745}},
        {"800 x 600", {0, 0, 800, 600}, openbox, {1, 22, 798, 577}},
        {"1920 x 1080 at scale 1.5", {0, 0, 1280, 720}, openbox, {1, 22, 1278, 697}},
        {"1920 x 1080 at scale 2", {0, 0, 960, 540}, openbox, {1, 22, 958, 517}},
        {"wide but low: width stays, centred", {0, 0, 1920, 600}, openbox, {310, 22, 1300, 577}},
        {"second screen to the right", {1920, 0, 1024, 768}, openbox, {1921, 22, 1022, 745}},
        {"smaller than the minimum: top left on screen",
         {0, 0, 640, 400},
         openbox,
         {1, 22, 760, 424}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaceWindow(c.available, c.frame, design, minimum), c.client) << c.name;
    }
}

}  // namespace
}  // namespace lintaro
