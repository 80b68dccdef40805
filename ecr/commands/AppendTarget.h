#pragma once

#include <string>

// Whether a path can take a file that a program appends to as it runs (a
// session log, a simulated register's journal) without stalling it. Taken:
// nothing yet (the file is made), a regular file, a character device (a
// terminal, /dev/null) and a pipe that a program reads (/dev/stderr into a
// pipe). Refused at once, without waiting: a FIFO that no program reads
// (opening it would wait for a reader for ever), a folder, a block device,
// a socket. The writer's own open still says what else goes wrong.
class AppendTarget {
public:
    // False with why, naming the path, in error.
    static bool Check(const std::string& path, std::string& error);
};
