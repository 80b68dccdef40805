#pragma once

// The engine's waits are short: a 1 ms read before every request (the input
// flush), a few milliseconds for a quiet line at the log-on. Linux lets a
// thread's timed waits end up to its timer slack late, 50 us by default, which
// a fast line pays on every exchange (a 1 ms flush then lasts 1.05 to 1.1 ms).
// The client programs ask for a fine slack once, at their start, on the
// thread that drives the line and before any other thread is made (threads
// inherit it), as the simulated register's thread does for its own pacing.
class TimerSlack {
public:
    // True when the kernel took it; false where there is no such setting
    // (not Linux), which leaves every wait as it was.
    static bool MakeFine();
};
