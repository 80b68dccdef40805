#pragma once

#include <ostream>
#include <string>
#include <vector>

// The ecrctl command line: parses the arguments, connects and logs on, runs
// the chosen subcommand and returns the exit code (0 done, 1 the register
// refused, 2 usage error, 3 link failure or a failed check, 4 a file or
// picture could not be used). Runs entirely in the calling process, so tests
// drive it directly.
class EcrCtl {
public:
    // terminal: standard error is a terminal, so the progress line is drawn.
    static int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool terminal = false);
};
