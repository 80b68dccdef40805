#pragma once

#include "ecr/commands/ECRDevice.h"
#include "support/FakeSerialPort.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Field terminators, for writing expected payloads by hand.
inline const std::string US = "\x1f";
inline const std::string LF = "\n";
inline const std::string TAB = "\t";

// A device on a scripted port that plays the register: every request frame
// is answered at once with the next queued reply payload, or, when none is
// queued, with a bare acknowledgement ("#c" for "#c", "$V" for "$v").
class CommandHarness {
public:
    CommandHarness();

    // Queues the payload of the next reply (reply code and data).
    void Reply(const std::string& payload);
    // Queues a device error reply carrying the given code.
    void ReplyError(const std::string& command, int code);
    // Builds every reply from the request payload instead of the queue.
    void ReplyWith(std::function<std::string(const std::string& request)> answer) { m_answer = std::move(answer); }

    // The payloads of all request frames written so far, each between ESC 'P'
    // and its checksum; a frame with a wrong checksum fails the test.
    std::vector<std::string> Payloads() const;

    // ESC 'P' payload checksum ESC '\'.
    static std::string FrameOf(const std::string& payload);

    FakeSerialPort port;
    ECRDevice device{&port};

private:
    void Answer(const std::string& written);

    std::deque<std::string> m_replies;
    std::function<std::string(const std::string&)> m_answer;
};
