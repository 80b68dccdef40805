#include "framework/ScreenFit.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// Moves [start, start + length) into [low, high); the start wins when it is too long.
int Clamped(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length));
}

}  // namespace

bool ScreenFit::Framed(const QWidget& window)
{
    return window.frameGeometry() != window.geometry() || window.windowFlags().testFlag(Qt::FramelessWindowHint);
}

QMargins ScreenFit::FrameMargins(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    if (Framed(window)) {
        return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    }
    // Not framed yet: a caption bar as tall as the style draws one, and thin borders.
    const int border = 1;
    const int caption = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return {border, caption + border, border, border};
}

QRect ScreenFit::Frame(const QWidget& window)
{
    return window.geometry().marginsAdded(FrameMargins(window));
}

QRect ScreenFit::AvailableArea(const QWidget& window)
{
    const QScreen* screen = window.screen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

QRect ScreenFit::Fitted(QRect frame, const QRect& area, const QSize& minimum)
{
    if (area.isEmpty()) {
        return frame;
    }
    frame.setWidth(std::max(std::min(frame.width(), area.width()), std::min(minimum.width(), frame.width())));
    frame.setHeight(std::max(std::min(frame.height(), area.height()), std::min(minimum.height(), frame.height())));
    frame.moveLeft(Clamped(frame.left(), frame.width(), area.left(), area.right() + 1));
    frame.moveTop(Clamped(frame.top(), frame.height(), area.top(), area.bottom() + 1));
    return frame;
}

void ScreenFit::Place(QWidget& window, const QRect& frame)
{
    const QRect client = frame.marginsRemoved(FrameMargins(window));
    QWindow* handle = window.windowHandle();
    if (handle == nullptr) {
        // Before the window exists, its position is taken as its frame's.
        window.resize(client.size());
        window.move(frame.topLeft());
        return;
    }
    if (Framed(window)) {
        window.setGeometry(client);
        return;
    }
    // Shown but not framed yet: the window system puts the frame, whatever
    // its caption, at that corner.
    window.resize(client.size());
    handle->setFramePosition(frame.topLeft());
}

QSize ScreenFit::MinimumFrame(const QWidget& window)
{
    const QMargins margins = FrameMargins(window);
    return window.minimumSize().grownBy(margins);
}

void ScreenFit::KeepOnScreen(QWidget& window)
{
    const QRect frame = Frame(window);
    const bool resizable = window.minimumSize() != window.maximumSize();
    const QRect fitted = Fitted(frame, AvailableArea(window), resizable ? MinimumFrame(window) : frame.size());
    if (fitted != frame) {
        Place(window, fitted);
    }
}
