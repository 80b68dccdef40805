#pragma once

// Lets the windows repaint while an exchange with the register blocks the
// user-interface thread, without taking user input: no click or key can
// start a second action in the middle of one, and none is kept for later
// (BusyState). The engine's wait callback calls it while a request and its
// answer are on the line, so the monitor and the progress bar move live.
class UiPump {
public:
    // Processes pending paint and other non-input events, at most ten
    // times a second, so that the exchanges' traffic costs the line no time
    // worth measuring. Called while a request is on the line, it marks the
    // running action's input as input to discard (BusyState).
    static void KeepPainted();
    // The same at once, e.g. after the progress bar moved.
    static void PaintNow();
};
