#include "framework/UiPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

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
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    SinceLastPump().start();
}
