#include "framework/BusyState.h"

#include "framework/InputGate.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace {

struct State {
    int actions = 0;  // Action scopes of the present turn
    bool on = false;
    std::unique_ptr<InputGate> gate;
    QPointer<QWidget> accepted;
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
    return Busy().on;
}

void BusyState::AcceptInputFor(QWidget* control)
{
    State& busy = Busy();
    busy.accepted = control;
    if (busy.gate) {
        busy.gate->SetControl(control);
    }
    if (busy.on) {
        QApplication::changeOverrideCursor(Cursor());
    }
}

void BusyState::ProcessEventsWithoutInput()
{
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    State& busy = Busy();
    if (busy.gate) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    InputGate gate(busy.accepted.data());
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void BusyState::TurnOn()
{
    State& busy = Busy();
    if (busy.on || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    busy.on = true;
    busy.gate = std::make_unique<InputGate>(busy.accepted.data());
    QApplication::setOverrideCursor(Cursor());
}

void BusyState::TurnOff()
{
    State& busy = Busy();
    if (!busy.on) {
        return;
    }
    // What the user did while the program was busy goes now, unanswered.
    ProcessEventsWithoutInput();
    if (!busy.on) {
        return;
    }
    busy.on = false;
    busy.gate.reset();
    QApplication::restoreOverrideCursor();
}
