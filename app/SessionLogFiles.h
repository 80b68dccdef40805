#pragma once

#include <cstddef>
#include <ctime>
#include <string>

// Where the program keeps its session logs when the command line names no
// file: one file per run, "thermal-YYYYMMDD-HHMMSS.log", in the user's state
// folder ($XDG_STATE_HOME/thermal/logs, by default ~/.local/state/thermal/logs;
// %LOCALAPPDATA%\thermal\logs on Windows). Only the newest files are kept.
class SessionLogFiles {
public:
    static constexpr std::size_t kKept = 20;

    // Empty when the environment names no home for it.
    static std::string DefaultFolder();

    // Makes the folder, removes the oldest logs so that with the new one at
    // most kKept remain (other files are left alone), and names the new
    // file for the start time. False with the reason in error.
    static bool Prepare(const std::string& folder, std::time_t start, std::string& path, std::string& error);
};
