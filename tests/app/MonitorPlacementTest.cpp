#include "app/MonitorPlacement.h"

#include <gtest/gtest.h>

#include <ostream>

// How a failed comparison shows a rectangle.
void PrintTo(const QRect& r, std::ostream* out)
{
    *out << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace {

// Frames as a window manager draws them: the main window 546 x 177 with its
// caption, the monitor 566 x 668, at least 397 x 492; caption and menu bar
// 42 high; 10 between the windows.
constexpr QSize kMain(546, 177);
constexpr QSize kMonitor(566, 668);
constexpr QSize kLeast(397, 492);
constexpr int kHeader = 42;
constexpr int kGap = 10;

struct Case {
    const char* screen;
    QRect area;
    QPoint mainAt;
    QSize monitorSize;
    QRect main;
    QRect monitor;
};

TEST(MonitorPlacement, BelowTheMainWindowAsRoomAllows)
{
    const Case cases[] = {
        // Room for both: the monitor just below, nothing else moves.
        {"1920x1080", {0, 0, 1920, 1080}, {100, 100}, kMonitor, {100, 100, 546, 177}, {100, 287, 566, 668}},
        // The main window moves up as far as needed.
        {"1280x1024", {0, 0, 1280, 1024}, {367, 300}, kMonitor, {367, 169, 546, 177}, {367, 356, 566, 668}},
        // Up to the top, and the monitor made shorter.
        {"1024x768", {0, 0, 1024, 768}, {239, 295}, kMonitor, {239, 0, 546, 177}, {239, 187, 566, 581}},
        // Too short even then: over the main window's lower part, below its
        // caption and menu bar, with the bottom row on the screen.
        {"800x600", {0, 0, 800, 600}, {127, 211}, kMonitor, {127, 0, 546, 177}, {127, 108, 566, 492}},
        // A panel along the top: the area starts below it.
        {"800x600 panel", {0, 30, 800, 570}, {127, 211}, kMonitor, {127, 30, 546, 177}, {127, 108, 566, 492}},
        // A main window partly off the screen comes back onto it.
        {"off screen", {0, 0, 1920, 1080}, {-50, -30}, kMonitor, {0, 0, 546, 177}, {0, 187, 566, 668}},
        // A monitor wider than the screen is made narrower.
        {"narrow", {0, 0, 640, 1080}, {47, 100}, {800, 668}, {47, 100, 546, 177}, {0, 287, 640, 668}},
        // Smaller than the monitor's least size: its caption stays on screen.
        {"640x480", {0, 0, 640, 480}, {47, 151}, kMonitor, {47, 0, 546, 177}, {47, 0, 566, 492}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        const MonitorPlacement::Frames placed = MonitorPlacement::Arrange(
            c.area, {QRect(c.mainAt, kMain), QRect(QPoint(0, 0), c.monitorSize)}, kLeast, kHeader, kGap);
        EXPECT_EQ(placed.main, c.main);
        EXPECT_EQ(placed.monitor, c.monitor);
    }
}

}  // namespace
