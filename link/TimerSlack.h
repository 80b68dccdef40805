#pragma once

// The engine's waits are short: a 1 ms read before every request (the input
// flush), a few milliseconds for a quiet line at the log-on. Linux lets a
// thread's timed waits end up to its timer slack late, 50 us by default, which
// a fast line pays on every exchange (a 1 ms flush then lasts 1.05 to 1.1 ms).
// Windows ends a timed wait, a serial read's time-out among them, at a tick
// of its timer, every 15.6 ms by default: there the 1 ms flush would last up
// to 15.6 ms. The client programs ask for fine waits once, at their start, on
// the thread that drives the line and before any other thread is made
// (threads inherit the slack), as the simulated register's thread does for
// its own pacing.
class TimerSlack {
public:
    // True when the system took it (Linux: a slack of 1 ns; Windows: a timer
    // of 1 ms for as long as the process runs); false where there is no such
    // setting, which leaves every wait as it was.
    static bool MakeFine();
};
