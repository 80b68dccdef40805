#include "app/MonitorPlacement.h"

#include "framework/ScreenFit.h"

#include <algorithm>

MonitorPlacement::Frames MonitorPlacement::Arrange(const QRect& area, Frames frames, const QSize& monitorLeast,
                                                   int mainHeader, int gap)
{
    QRect& main = frames.main;
    QRect& monitor = frames.monitor;
    main = ScreenFit::Fitted(main, area, main.size());
    monitor = ScreenFit::Fitted(monitor, area, monitorLeast);
    const int bottom = area.bottom() + 1;

    int top = main.bottom() + 1 + gap;
    int overflow = top + monitor.height() - bottom;
    if (overflow > 0) {
        const int up = std::min(overflow, main.top() - area.top());
        main.translate(0, -up);
        top -= up;
        overflow -= up;
    }
    if (overflow > 0) {
        monitor.setHeight(std::max(monitorLeast.height(), monitor.height() - overflow));
        overflow = top + monitor.height() - bottom;
    }
    if (overflow > 0) {
        top = std::max(main.top() + mainHeader, bottom - monitor.height());
    }
    monitor.moveTo(main.left(), top);
    // Whatever still does not fit (a screen smaller than both): the
    // monitor's caption and as much of it as the screen holds.
    monitor = ScreenFit::Fitted(monitor, area, monitorLeast);
    return frames;
}
