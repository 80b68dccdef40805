#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// Keeps windows, frame and caption included, inside the available area of
// their screen (QScreen::availableGeometry): a caption above the top of the
// screen cannot be grabbed, and a row of buttons below its foot cannot be
// reached.
class ScreenFit {
public:
    // True once the window system has put a frame around the window (or it has none).
    static bool Framed(const QWidget& window);
    // The frame around a window's client area: the window system's once it
    // has framed the window, before that a caption bar and thin borders.
    static QMargins FrameMargins(const QWidget& window);
    // The window's rectangle with its frame (estimated until it is framed).
    static QRect Frame(const QWidget& window);
    // The available area of the window's screen; empty without a screen.
    static QRect AvailableArea(const QWidget& window);

    // The frame moved into the area, and where larger than the area made
    // smaller, but not below minimum; what still does not fit keeps its top
    // left corner (the caption) inside.
    static QRect Fitted(QRect frame, const QRect& area, const QSize& minimum);
    // Gives the window that frame: its client area is the frame less the margins.
    static void Place(QWidget& window, const QRect& frame);
    // Moves the window into the area of its screen; one that can be resized
    // is made smaller if it is larger than the area.
    static void KeepOnScreen(QWidget& window);
    // The least frame size of the window (its minimum size and the margins).
    static QSize MinimumFrame(const QWidget& window);
};
