#pragma once

#include "support/PseudoTerminal.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A register on a pseudo-terminal that says what the test scripts, for
// replies the simulated register never gives: ENQ is answered with the
// status byte ("ready", 0x06, unless another is given), every request frame
// with the reply payload the script returns for its payload, framed; no
// answer at all when the script returns nothing. Serves on its own thread
// until destroyed.
class ScriptedRegister {
public:
    using Script = std::function<std::optional<std::string>(const std::string& payload)>;

    explicit ScriptedRegister(Script script, char status = '\x06');
    ~ScriptedRegister();
    ScriptedRegister(const ScriptedRegister&) = delete;
    ScriptedRegister& operator=(const ScriptedRegister&) = delete;

    const std::string& DevicePath() const { return m_line.SlavePath(); }
    // The payloads of the request frames received so far.
    std::vector<std::string> Requests() const;

private:
    void Serve();

    PseudoTerminal m_line;
    Script m_script;
    const char m_status;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
