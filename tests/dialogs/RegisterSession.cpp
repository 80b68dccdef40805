#include "RegisterSession.h"

#include "ecr/protocol/ECRSleep.h"
#include "framework/ScopedModalDriver.h"
#include "sim/SimClock.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>

#include <chrono>

namespace {

std::vector<std::int32_t>& RecordedSleeps()
{
    static std::vector<std::int32_t> sleeps;
    return sleeps;
}

void RecordSleep(std::int32_t milliseconds)
{
    RecordedSleeps().push_back(milliseconds);
}

// The simulated register's time base (see SimulatorHost).
std::int64_t MonotonicMicros()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::vector<std::int32_t>& RegisterSession::Sleeps()
{
    return RecordedSleeps();
}

void RegisterSession::SetUp()
{
    RecordedSleeps().clear();
    m_previousSleep = SetECRSleepFunction(&RecordSleep);
    m_app = std::make_unique<AppHarness>();
    ASSERT_TRUE(m_app->Connect()) << "no log-on to the simulated register";
    ClearRequests();
    RecordedSleeps().clear();
}

void RegisterSession::TearDown()
{
    m_app.reset();
    SetECRSleepFunction(m_previousSleep);
}

void RegisterSession::SetRegisterClock(int year, int month, int day, int hour, int minute)
{
    const auto seconds = SimClock::ToSeconds({year, month, day, hour, minute, 0});
    ASSERT_TRUE(seconds.has_value());
    WithSimulator([&](ECRSimulator& sim) { sim.State().clock.Set(*seconds, MonotonicMicros()); });
}

void RegisterSession::SilenceRegister()
{
    SimFaults faults;
    faults.dropReplyEvery = 1;
    faults.silentToEnq = true;
    WithSimulator([&](ECRSimulator& sim) { sim.SetFaults(faults); });
    ECREngine::PollLimits limits = Device().Engine().GetPollLimits();
    limits.maxSilentWaits = 1;
    Device().Engine().SetPollLimits(limits);
}

int RegisterSession::RunModal(CDialog& dialog, const std::function<void(CDialog&)>& driver)
{
    ScopedModalDriver scoped([&](CDialog& open) {
        if (&open == &dialog) {
            driver(open);
        }
    });
    return dialog.DoModal();
}

void RegisterSession::RunMenu(int commandId, const std::function<void(CDialog&)>& driver)
{
    ScopedModalDriver scoped(driver);
    m_app->Choose(commandId);
}

void RegisterSession::Click(CDialog& dialog, int id)
{
    auto* button = dialog.Item<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

void RegisterSession::Type(CDialog& dialog, int id, const QString& text)
{
    auto* edit = dialog.Item<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << "no edit " << id;
    edit->clear();
    // Key by key as typed; keyClicks knows only ASCII, and a register text may be Cyrillic.
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

QString RegisterSession::ToolTipAt(QAbstractItemView& list, const QModelIndex& cell)
{
    const QPoint at = list.visualRect(cell).center();
    QHelpEvent rest(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
    QApplication::sendEvent(list.viewport(), &rest);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}
