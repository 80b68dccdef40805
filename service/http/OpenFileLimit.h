#pragma once

#include <cstdint>

// The process's limit on open files, which bounds how many connections a
// server can hold (Linux starts programs at a soft limit of 1024).
class OpenFileLimit {
public:
    // Raises the soft limit toward the hard one, to at most `most`, never
    // lowering it. Returns the soft limit now in force; 0 where the system
    // has no such limit (Windows).
    static std::uint64_t Raise(std::uint64_t most = 65536);
};
