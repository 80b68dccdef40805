#include "CommandHarness.h"

#include "support/WireFrame.h"

#include <gtest/gtest.h>

#include <cctype>

CommandHarness::CommandHarness()
{
    port.onWrite = [this](const std::string& written) { Answer(written); };
}

void CommandHarness::Reply(const std::string& payload)
{
    m_replies.push_back(payload);
}

void CommandHarness::ReplyError(const std::string& command, int code)
{
    m_replies.push_back("#Z" + command.substr(1, 1) + "x" + LF + std::to_string(code) + US);
}

std::string CommandHarness::FrameOf(const std::string& payload)
{
    return WireFrame(payload);
}

void CommandHarness::Answer(const std::string& written)
{
    if (written.size() < 6 || written.compare(0, 2, "\x1bP") != 0) {
        return;
    }
    const std::string request = written.substr(2, written.size() - 6);
    std::string reply;
    if (m_answer) {
        reply = m_answer(request);
    } else if (!m_replies.empty()) {
        reply = m_replies.front();
        m_replies.pop_front();
    } else {
        const bool upper = request[0] == '$' || request[0] == '%';
        reply = std::string(1, request[0]) +
                static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(request[1])) : request[1]);
    }
    port.Feed(FrameOf(reply));
}

std::vector<std::string> CommandHarness::Payloads() const
{
    std::vector<std::string> payloads;
    for (const std::string& frame : port.writes) {
        if (frame.size() < 6 || frame.compare(0, 2, "\x1bP") != 0) {
            ADD_FAILURE() << "not a request frame: " << frame;
            continue;
        }
        const std::string payload = frame.substr(2, frame.size() - 6);
        EXPECT_EQ(frame, FrameOf(payload)) << "checksum or closer of " << payload;
        payloads.push_back(payload);
    }
    return payloads;
}
