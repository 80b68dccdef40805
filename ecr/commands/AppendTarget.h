#pragma once

#include <string>

// Whether a path can take a file that a program appends to as it runs (a
// session log, a simulated register's journal) without stalling it or
// writing over a disk. Refused at once, without waiting: a FIFO that no
// program reads (opening it would wait for a reader for ever) and a block
// device. Taken: a pipe that a program reads (/dev/stderr into a pipe),
// and everything else, whose writer's own open makes the file or says why
// it cannot (a folder, a missing folder, no permission).
class AppendTarget {
public:
    // False with why, naming the path, in error.
    static bool Check(const std::string& path, std::string& error);
};
