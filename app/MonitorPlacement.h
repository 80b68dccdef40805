#pragma once

#include <QRect>
#include <QSize>

// Where the main window and the connection monitor go when the program
// starts, as frames with their captions, inside the screen's available
// area: the monitor just below the main window, left-aligned with it; the
// main window moved up if the screen is too short for both; then the
// monitor made shorter, down to its least height; and on a screen still too
// short, the monitor over the lower part of the main window, never over its
// caption and menu bar, with its own bottom row on the screen.
class MonitorPlacement {
public:
    struct Frames {
        QRect main;
        QRect monitor;
    };

    // mainHeader: the height of the main window's caption and menu bar;
    // gap: the room left between the two windows when there is room.
    static Frames Arrange(const QRect& area, Frames frames, const QSize& monitorLeast, int mainHeader, int gap);
};
