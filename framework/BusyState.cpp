#include "framework/BusyState.h"

#include "framework/InputGate.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

namespace {

struct State {
    int actions = 0;  // Action scopes of the present turn
    std::unique_ptr<InputGate> gate;  // held while busy
    QPointer<QWidget> accepted;
    bool requestSent = false;  // since the gate went up
};

State& Busy()
{
    static State state;
    return state;
}

// The wait cursor, or the busy arrow while a control still takes clicks.
QCursor Cursor()
{
    return QCursor(Busy().accepted.isNull() ? Qt::WaitCursor : Qt::BusyCursor);
}

}  // namespace

BusyState::Action::Action()
{
    if (Busy().actions++ == 0) {
        TurnOn();
    }
}

BusyState::Action::~Action()
{
    // Still counted while the discarded input goes: whatever runs meanwhile
    // is inside this action.
    if (Busy().actions == 1) {
        TurnOff();
    }
    --Busy().actions;
}

BusyState::UserTurn::UserTurn() : m_actions(Busy().actions)
{
    if (m_actions > 0) {
        TurnOff();
    }
    Busy().actions = 0;
}

BusyState::UserTurn::~UserTurn()
{
    Busy().actions = m_actions;
    if (m_actions > 0) {
        TurnOn();
    }
}

bool BusyState::Active()
{
    return Busy().gate != nullptr;
}

void BusyState::AcceptInputFor(QWidget* control)
{
    State& busy = Busy();
    busy.accepted = control;
    if (busy.gate) {
        busy.gate->SetControl(control);
        QApplication::changeOverrideCursor(Cursor());
    }
}

void BusyState::ProcessEventsWithoutInput()
{
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    // Busy, the gate is up already; otherwise one is put up for the while.
    State& busy = Busy();
    std::optional<InputGate> own;
    if (!busy.gate) {
        own.emplace(busy.accepted.data());
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void BusyState::RequestOnTheLine()
{
    Busy().requestSent = true;
}

void BusyState::TurnOn()
{
    State& busy = Busy();
    if (busy.gate || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    busy.gate = std::make_unique<InputGate>(busy.accepted.data());
    busy.requestSent = false;
    QApplication::setOverrideCursor(Cursor());
}

void BusyState::TurnOff()
{
    State& busy = Busy();
    if (!busy.gate) {
        return;
    }
    // What the user did while a request was on the line goes now,
    // unanswered. Without one, the input waits for the event loop: each key
    // typed while a field's handler ran is still to come.
    if (busy.requestSent) {
        ProcessEventsWithoutInput();
        if (!busy.gate) {
            return;
        }
    }
    busy.gate.reset();
    QApplication::restoreOverrideCursor();
}
