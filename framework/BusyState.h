#pragma once

class QWidget;

// The program is busy while a user action runs: every button and menu
// command goes through ActionGuard, which holds an Action for it. Meanwhile
// the wait cursor shows over every window. Mouse and key input (a click on a
// close box included) that comes while a request is on the line is
// discarded rather than kept: a click made while the register answers never
// takes effect after it. The windows go on repainting (UiPump). The one
// control a long run offers on purpose, its stop button, still takes its
// clicks (AcceptInputFor).
//
// An action that puts nothing on the line (a field's handler filtering a
// list) discards nothing: keys typed meanwhile, a barcode scanner's a few
// milliseconds apart, wait for the event loop and all arrive, in order.
//
// An action that hands the turn to the user (a modal dialog, a message box,
// a file prompt) holds a UserTurn for as long as the user has it: the busy
// state pauses, and comes back when the turn ends.
class BusyState {
public:
    class Action {
    public:
        Action();
        ~Action();
        Action(const Action&) = delete;
        Action& operator=(const Action&) = delete;
    };

    class UserTurn {
    public:
        UserTurn();
        ~UserTurn();
        UserTurn(const UserTurn&) = delete;
        UserTurn& operator=(const UserTurn&) = delete;

    private:
        int m_actions;
    };

    // True while an action runs and the user does not have the turn.
    static bool Active();

    // The one control whose input is taken while busy (null: none).
    static void AcceptInputFor(QWidget* control);

    // Runs the pending events (paints, timers, posted work) and discards the
    // pending input, except what goes to the accepted control.
    static void ProcessEventsWithoutInput();

    // A request is on the line (the engine's wait callback, through UiPump):
    // the input of this action, until it ends or hands the user the turn,
    // is then discarded at its end too.
    static void RequestOnTheLine();

private:
    static void TurnOn();
    static void TurnOff();
};
