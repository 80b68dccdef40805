#pragma once

#include <string>

// The system's reason for a failed call of the comm API: GetLastError() on
// Windows, errno in our POSIX version of those functions. The port keeps it
// beside the design's CommError codes, which stay as they are, so that a
// front end can say why a port did not open.
class SystemError {
public:
    // Forgets the last reason, so that a call which fails without giving
    // one is not blamed on an earlier one.
    static void Reset();
    // The reason of the last failed call; 0 when none was given.
    static int Last();
    // A few English words for a reason: "no such device", "permission
    // denied", "in use by another program", "not a serial line", else the
    // system's own text.
    static std::string Text(int code);
};
