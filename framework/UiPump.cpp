#include "framework/UiPump.h"

#include "framework/BusyState.h"

#include <QElapsedTimer>

namespace {

// Painting the monitor's boxes after new entries takes a millisecond or two.
// The pump runs while the line carries a request and its answer, so the
// paint costs the line nothing as long as it is shorter than that; ten times
// a second keeps the traffic live and takes a click on "Prekini" within a
// tenth of a second.
constexpr qint64 kPumpIntervalMs = 100;

QElapsedTimer& SinceLastPump()
{
    static QElapsedTimer timer;
    return timer;
}

}  // namespace

void UiPump::KeepPainted()
{
    BusyState::RequestOnTheLine();
    QElapsedTimer& since = SinceLastPump();
    if (since.isValid() && since.elapsed() < kPumpIntervalMs) {
        return;
    }
    PaintNow();
}

void UiPump::PaintNow()
{
    BusyState::ProcessEventsWithoutInput();
    SinceLastPump().start();
}
