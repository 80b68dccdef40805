// Reading and writing through a port on a real pseudo-terminal; under Wine
// through Wine's serial layer, where it differs from Windows as noted.

#include "support/FastClock.h"
#include "support/PseudoTerminal.h"
#include "support/RunningUnderWine.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRClock.h"
#include "serial/Win32SerialPort.h"
#include "support/EcrStringBytes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>
#include <ostream>

namespace {

std::vector<std::string> g_traffic;

void RecordTraffic(ECRString text)
{
    g_traffic.emplace_back(text.Data(), text.Length());
}

// Any bytes, zero bytes included, as one text.
ECRString Bytes(const std::string& bytes)
{
    ECRString text;
    for (char c : bytes) {
        text += ECRString(c);
    }
    return text;
}

class SerialTransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_traffic.clear();
        port.SetTrafficCallback(RecordTraffic);
        ASSERT_TRUE(port.Open());
    }

    PseudoTerminal line;
    Win32SerialPort port{SerialSettings(1, 19200, 8, 0, 0, 0, 0), line.MapAs(1)};
};

TEST_F(SerialTransferTest, ReadUntilStopsRightAfterTheTerminator)
{
    line.Send("\x1bP$c0512\x1b\\\x06N");
    EXPECT_EQ(Bytes(port.ReadUntil("\\", 3000)), "\x1bP$c0512\x1b\\");
    EXPECT_EQ(Bytes(port.ReadCount(1, 200)), "\x06");
    EXPECT_EQ(Bytes(port.ReadUntil("\\", 200)), "N");
    EXPECT_EQ(g_traffic, (std::vector<std::string>{"\x1bP$c0512\x1b\\", "\x06", "N"}));
    EXPECT_EQ(line.Receive(1, 50), "");  // nothing echoed back to the register
}

TEST_F(SerialTransferTest, SilentLineGivesTheEmptyTextAndReportsIt)
{
    EXPECT_EQ(Bytes(port.ReadUntil("\\", 50)), "");
    EXPECT_EQ(Bytes(port.ReadCount(1, 1)), "");
    EXPECT_EQ(g_traffic, (std::vector<std::string>{"", ""}));

    port.SetTrafficCallback(nullptr);
    line.Send("A");
    EXPECT_EQ(Bytes(port.ReadCount(1, 200)), "A");
    EXPECT_EQ(g_traffic.size(), 2u);
}

// The port ends a timed wait a little before its time and watches the line
// without sleeping for the rest; it must still never give up early.
TEST_F(SerialTransferTest, ATimedOutReadLastsItsWholeLimit)
{
    if (RunningUnderWine()) {
        GTEST_SKIP() << "the time-outs are Wine's";
    }
    for (const int limitMs : {1, 1, 1, 1, 1, 2, 3}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Bytes(port.ReadCount(1, limitMs)), "");
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(limitMs));
    }
}

TEST_F(SerialTransferTest, WritesAreNotReported)
{
    port.Write("\x1bP$c\x1b\\");
    EXPECT_EQ(line.Receive(6), "\x1bP$c\x1b\\");
    EXPECT_TRUE(g_traffic.empty());
}

struct ReadCase {
    const char* what;
    std::string arriving;
    std::string terminator;
    std::vector<std::string> reads;  // successive ReadUntil results
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.what;
}

class SerialReadUntilTest : public SerialTransferTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SerialReadUntilTest, Reads)
{
    line.Send(GetParam().arriving);
    std::vector<std::string> reads;
    for (std::size_t i = 0; i < GetParam().reads.size(); ++i) {
        reads.push_back(Bytes(port.ReadUntil(GetParam().terminator.c_str(), 100)));
    }
    EXPECT_EQ(reads, GetParam().reads);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, SerialReadUntilTest,
    ::testing::Values(
        ReadCase{"xon_xoff_dropped", "A\x11" "B\x13" "C\\D", "\\", {"ABC\\", "D"}},
        ReadCase{"xon_never_terminates", "A\x11" "B", "\x11", {"AB"}},
        ReadCase{"xoff_never_terminates", "\x13\x13" "Z", "\x13", {"Z"}},
        ReadCase{"only_flow_bytes_is_nothing", "\x11\x13\x11", "\\", {""}},
        ReadCase{"zero_byte_ends_the_read", std::string("AB\0CD\\", 6), "\\", {"AB", "CD\\"}},
        ReadCase{"leading_zero_byte", std::string("\0X", 2), "\\", {"", "X"}},
        ReadCase{"empty_terminator_reads_to_the_gap", "ABC\\DEF", "", {"ABC\\DEF", ""}},
        ReadCase{"control_and_high_bytes_untouched", "\r\n\x03\x04\x1a\x7f\xff\xc0\\", "\\",
                 {"\r\n\x03\x04\x1a\x7f\xff\xc0\\"}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(SerialTransferTest, ReadCountStopsAtTheCountOrTheGap)
{
    line.Send("XYZ");
    EXPECT_EQ(Bytes(port.ReadCount(1, 1000)), "X");
    EXPECT_EQ(Bytes(port.ReadCount(5, 100)), "YZ");
    line.Send("\x11Q\x13R");
    EXPECT_EQ(Bytes(port.ReadCount(2, 100)), "QR");
}

TEST_F(SerialTransferTest, TimeOutLimitsTheGapNotTheWholeRead)
{
    std::thread peer([this] {
        for (const char* chunk : {"AB", "CD", "E\\"}) {
            line.Send(chunk);
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
        }
    });
    // Each chunk comes well within the per-byte limit, the whole read does not.
    const std::string read = Bytes(port.ReadUntil("\\", 1000));
    peer.join();
    EXPECT_EQ(read, "ABCDE\\");
}

TEST_F(SerialTransferTest, ALineThatNeverSendsTheTerminatorCannotHoldTheRead)
{
    // 16 KiB of noise and then a short frame end: the read gives up after
    // 16 KiB, and what follows stays for the next read.
    const std::string noise(16384, 'x');
    std::thread peer([&] { line.Send(noise + "yz\\"); });
    const std::string first = Bytes(port.ReadUntil("\\", 1000));
    const std::string second = Bytes(port.ReadUntil("\\", 1000));
    peer.join();
    EXPECT_TRUE(first == noise) << first.size() << " bytes";  // not EXPECT_EQ: 16 kB
    EXPECT_EQ(second, "yz\\");
}

// A register dripping one byte every 2.5 s, never the terminator: every gap
// is within the per-byte time-out, so only the read's own limit ends it.
TEST_F(SerialTransferTest, ADrippingLineCannotHoldTheReadLongerThanItsLimit)
{
    const ECRClockFunction previous = SetECRClockFunction(&FastClockMs);
    for (const bool until : {true, false}) {
        SCOPED_TRACE(until ? "ReadUntil" : "ReadCount");
        std::atomic<bool> stop{false};
        std::thread peer([&] {
            for (int i = 0; i < 200 && !stop; ++i) {
                line.Send("A");
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        const std::int64_t startMs = FastClockMs();
        const std::string read = Bytes(until ? port.ReadUntil("\\", 3000) : port.ReadCount(100000, 3000));
        const std::int64_t tookMs = FastClockMs() - startMs;
        stop = true;
        peer.join();
        port.ReadUntil("", 100);  // what the peer sent after the read gave up

        EXPECT_GE(tookMs, Win32SerialPort::kMaxReadMs);
        EXPECT_GT(read.size(), 0u);
        EXPECT_LT(read.size(), 100u) << "the read waited for the whole drip";
        EXPECT_EQ(read.find_first_not_of('A'), std::string::npos);
    }
    SetECRClockFunction(previous);
}

TEST_F(SerialTransferTest, WritesEveryByteAsGiven)
{
    port.Write(ECRString('\0'));
    EXPECT_EQ(line.Receive(2, 100), std::string(1, '\0'));

    port.Write(Bytes(std::string("\r\n\x11\x13\x03\0\xff", 7)));
    EXPECT_EQ(line.Receive(8, 100), std::string("\r\n\x11\x13\x03\0\xff", 7));
}

TEST_F(SerialTransferTest, XoffFromThePeerDoesNotHoldUpWrites)
{
    line.Send("\x13");
    ASSERT_EQ(Bytes(port.ReadCount(1, 100)), "");  // dropped by the reader, but never taken as flow control
    port.Write("ok");
    EXPECT_EQ(line.Receive(2), "ok");
}

TEST_F(SerialTransferTest, LargeWriteArrivesWhole)
{
    // Far more than the terminal buffers, so the write goes out in pieces.
    std::string pattern;
    for (int i = 0; i < 251; ++i) {
        pattern.push_back(static_cast<char>(i * 7 + 1));
    }
    ECRString text = Bytes(pattern);
    std::string expected = pattern;
    while (expected.size() < 200000) {
        text += text;
        expected += expected;
    }

    std::string received;
    std::thread peer([&] { received = line.Receive(expected.size(), 2000); });
    EXPECT_TRUE(port.Write(text));
    peer.join();
    ASSERT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected);  // not EXPECT_EQ: a mismatch would print 250 kB
}

TEST_F(SerialTransferTest, ClosedPortThrowsOnEveryTransfer)
{
    port.Close();
    auto code = [](auto action) {
        try {
            action();
        } catch (const CommError& error) {
            return error.code;
        }
        return 0;
    };
    EXPECT_EQ(code([&] { port.Write("A"); }), 8);
    EXPECT_EQ(code([&] { port.ReadUntil("\\", 10); }), 4);
    EXPECT_EQ(code([&] { port.ReadCount(1, 10); }), 4);
    EXPECT_EQ(code([&] { port.SetReadTimeout(10); }), 4);
    EXPECT_TRUE(g_traffic.empty());
}

TEST_F(SerialTransferTest, HungUpLineReadsNothingAndRefusesWrites)
{
    if (RunningUnderWine()) {
        // A real COM port never hangs up like this; a USB adapter pulled out does.
        GTEST_SKIP() << "Wine's ReadFile on a hung-up pseudo-terminal without a time-out spins for ever";
    }
    line.Send("AB");
    EXPECT_EQ(Bytes(port.ReadCount(2, 200)), "AB");
    line.HangUp();
    // No time-out at all: a read must still come back once the peer is gone.
    EXPECT_EQ(Bytes(port.ReadUntil("\\", 0)), "");
    EXPECT_THROW(port.Write("A"), CommError);
}

}  // namespace
