#include "framework/UiPump.h"

#include "framework/InputGate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace {

constexpr qint64 kPumpIntervalMs = 30;

QPointer<QWidget>& LiveControl()
{
    static QPointer<QWidget> control;
    return control;
}

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
    if (QWidget* control = LiveControl().data()) {
        InputGate gate(control);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    } else {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    SinceLastPump().start();
}

void UiPump::AcceptInputFor(QWidget* control)
{
    LiveControl() = control;
}
