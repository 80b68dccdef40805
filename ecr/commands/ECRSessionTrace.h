#pragma once

#include "ecr/commands/ECRSessionLog.h"
#include "ecr/commands/ECRTrafficDecoder.h"
#include "ecr/commands/ECRTrafficEntry.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

// What a front end keeps of one session's traffic: the time since the
// session started, the decoded line of every entry and, when a log file is
// open, every entry and message written to it as it happens.
class ECRSessionTrace {
public:
    // The session starts now.
    ECRSessionTrace();

    // Starts logging to the file (appended to). False with the reason in error.
    bool OpenLog(const std::string& path, std::string_view program, std::string& error);
    // The log, open or not.
    const ECRSessionLog& Log() const { return m_log; }

    // Decodes the entry, logs it with its bytes, and returns the decoded line.
    std::string Traffic(ECRTrafficDirection direction, std::string_view bytes);
    // The same for an entry that came at ms (ElapsedMs then), handed on later.
    std::string Traffic(ECRTrafficDirection direction, std::string_view bytes, std::int64_t ms);
    // A message of the register or the program (Windows-1250), logged.
    // Written only when the log is open, as a "message" line in UTF-8.
    void Message(std::string_view text);
    void Message(std::string_view text, std::int64_t ms);

    // Held, the lines go to the file as a batch at FlushLog, one write for
    // all; otherwise each is flushed as it is written.
    void HoldLogLines(bool hold) { m_holdLines = hold; }
    void FlushLog();
    // A note of the program (UTF-8), logged.
    // Written only when the log is open; its line breaks and TABs become blanks.
    void Note(std::string_view text);

    // Milliseconds since the session started.
    std::int64_t ElapsedMs() const;

    // Why the log stopped, given once; empty while it works (or was never open).
    std::string TakeLogFailure();

private:
    void WriteLine(std::string_view line);

    std::chrono::steady_clock::time_point m_start;
    ECRTrafficDecoder m_decoder;
    ECRSessionLog m_log;
    std::string m_failure;
    bool m_holdLines = false;
};
