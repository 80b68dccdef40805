#pragma once

#include "TestProtocol.h"

#include "ecr/protocol/ECRSleep.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Frames and control bytes as they appear on the line, written out by hand.
namespace wire {
inline const std::string ENQ = "\x05";
inline const std::string REQUEST_V = "\x1B" "P$vAD" "\x1B\\";      // "$v"
inline const std::string REPLY_V_OK = "\x1B" "P$VOK89" "\x1B\\";   // "$V" + "OK"
inline const std::string REPLY_W = "\x1B" "P$W8C" "\x1B\\";        // wrong letter for "$v"
inline const std::string REPLY_EMPTY = "\x1B" "PFF" "\x1B\\";      // empty payload
// "#Z", echo 'c', 'x', LF, "12", US: the register refuses "#c" with code 12.
inline const std::string REPLY_Z12 = "\x1B" "P#Zcx\n12\x1F" "8B" "\x1B\\";
}  // namespace wire

// An engine over a scripted port, with every callback and every pause recorded.
class EngineTest : public ::testing::Test {
public:
    // Filled by the plain-function callbacks, which cannot reach an instance.
    static std::vector<std::string> traffic;
    static std::vector<std::string> messages;
    static std::vector<std::int32_t> progress;
    static std::vector<std::int32_t> sleeps;

protected:
    void SetUp() override;
    void TearDown() override;

    // The i-th write from now on is answered with answers[i]; later writes
    // with the last one (an empty answer leaves the line silent).
    void AnswerWrites(std::vector<std::string> answers);

    // Writes of ENQ among everything written.
    int EnqCount() const;

    static std::string Bytes(const ECRString& text) { return std::string(text.Data(), text.Length()); }

    TestProtocol protocol;
    FakeSerialPort& port = protocol.port;

private:
    ECRSleepFunction m_previousSleep = nullptr;
};
