#include "framework/UiPump.h"

#include "framework/BusyState.h"

#include <QElapsedTimer>

namespace {

constexpr qint64 kPumpIntervalMs = 30;

QElapsedTimer& SinceLastPump()
{
    static QElapsedTimer timer;
    return timer;
}

}  // namespace

void UiPump::KeepPainted()
{
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
