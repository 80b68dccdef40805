#include "ecr/commands/ECRCapture.h"
#include "ecr/commands/ECRCaptureStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string kHeader =
    "# thermal session log: ecrctl, started 2026-03-15 09:41:07 +0100; times in ms since then; traffic lines end "
    "in TAB and the bytes in hexadecimal";

struct Streamed {
    std::vector<std::string> lines;
    std::size_t failedFrames = 0;
    bool refused = false;
};

// The capture fed in pieces of the given size, then finished.
Streamed Stream(const std::string& capture, std::size_t piece)
{
    Streamed streamed;
    ECRCaptureStream stream([&streamed](const std::string& line) { streamed.lines.push_back(line); });
    for (std::size_t i = 0; i < capture.size() && !streamed.refused; i += piece) {
        streamed.refused = !stream.Feed(std::string_view(capture).substr(i, piece));
    }
    stream.Finish();
    streamed.failedFrames = stream.FailedFrames();
    return streamed;
}

struct CaptureCase {
    const char* name;
    std::string capture;
};

void PrintTo(const CaptureCase& c, std::ostream* os)
{
    *os << c.name;
}

class CaptureStreamTest : public ::testing::TestWithParam<CaptureCase> {};

// However the capture is cut into pieces (a piece may end inside a frame,
// between ESC and its second byte, inside a run or a line, or between CR
// and LF), the stream gives the lines of the capture decoded whole.
TEST_P(CaptureStreamTest, AnyPiecesGiveTheLinesOfTheWhole)
{
    const std::string& capture = GetParam().capture;
    const std::vector<std::string> whole = ECRCapture::Decode(capture);
    ASSERT_FALSE(whole.empty());
    for (const std::size_t piece : {1, 2, 3, 7, 4096}) {
        const Streamed streamed = Stream(capture, piece);
        EXPECT_FALSE(streamed.refused);
        EXPECT_EQ(streamed.lines, whole) << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CaptureStreamTest,
    ::testing::Values(
        // ENQ, ready, a request, busy bytes, a reply; a frame cut by the next,
        // stray bytes, a lone ESC answering ENQ, zero bytes, a frame at the end.
        CaptureCase{"Raw", "\x05\x06\x1B" "P#wAB\x1B\\\xC0\xC0\x1B" "P#wAB\x1B\\"
                           "\x1B" "P$v\x1B" "P$vAD\x1B\\junk\x05\x1B" "P$VOK89\x1B\\" +
                               std::string(2, '\0') + "x\x1B\x1B" "P#w"},
        CaptureCase{"SessionLogOfTwoRuns",
                    kHeader + "\n"
                              "      12 ms  PC -> ECR  #w presek stanja  cs=AB\t[23-77-]\r\n"
                              "      30 ms  ECR -> PC  status C0 busy\t[C0-]\n"
                              "\n"
                              "      41 ms  message    Operacija je uspesna\n" +
                        kHeader + "\n"
                                  "       3 ms  ECR -> PC  ?\t[1B-50-23-77-41-42-1B-5C-]\n"
                                  "a line of something else"},
        CaptureCase{"MonitorText", "1B-50-23-77-41-42-1B-5C-\r\n"
                                   " .  P  #  w  A  B  .  \\ \r\n"
                                   "23-77-\r\n"
                                   " #  w \r\n"
                                   "2X-\r\n"
                                   "\r\n"},
        // Text, but its first line is no hex line: raw bytes.
        CaptureCase{"TextThatIsRaw", "\r\n\nhello\n23-77-\n"},
        // A hex line first, but a byte the monitor never shows comes later.
        CaptureCase{"MonitorLikeThenBinary", "23-77-\r\n #  w \r\n" + std::string(5000, '-') + "\x1B" "P#wAB\x1B\\"},
        // The start of a log's header only.
        CaptureCase{"HeaderStartOnly", "# thermal"}),
    [](const auto& info) { return std::string(info.param.name); });

// Raw pieces stop at 64 KiB, so that a run of garbage makes lines of a
// bounded length, the same whole or streamed.
TEST(CaptureStream, LongRawPiecesAreCutAt64KiB)
{
    struct Case {
        std::string capture;
        std::vector<std::size_t> sizes;
    };
    const Case cases[] = {
        {std::string(150000, 'A'), {65536, 65536, 18928}},
        {"\x1B" "P" + std::string(70000, 'x') + "\x1B\\", {65536, 4468}},
        {std::string(65536, '\xC0') + "\x06", {65536, 1}},
    };
    for (const Case& c : cases) {
        std::vector<std::size_t> sizes;
        for (const std::string& piece : ECRCapture::SplitRaw(c.capture)) {
            sizes.push_back(piece.size());
        }
        EXPECT_EQ(sizes, c.sizes);
        EXPECT_EQ(Stream(c.capture, 10000).lines.size(), c.sizes.size());
    }
}

// Frames whose check fails are counted: what makes decode exit non-zero.
TEST(CaptureStream, FramesThatFailTheirCheckAreCounted)
{
    struct Case {
        const char* name;
        std::string capture;
        std::size_t failed;
    };
    const Case cases[] = {
        {"Clean", "\x1B" "P$vAD\x1B\\\x1B" "P$VOK89\x1B\\", 0},
        {"WrongChecksum", "\x1B" "P$vAD\x1B\\\x1B" "P$VOK88\x1B\\", 1},
        {"CutByTheNextFrame", "\x1B" "P$vA\x1B" "P$vAD\x1B\\", 1},
        {"ClosedWithoutESC", "\x1B" "P$vADx\\", 1},
        {"ZeroByteInside", std::string("\x1B" "P$\0vAD\x1B\\", 9), 1},
        {"ReplyForAnotherCommand", "\x1B" "P$vAD\x1B\\\x1B" "P$W8C\x1B\\", 1},
        {"TwoOfThem", "\x1B" "P$vAE\x1B\\\x1B" "P$VOK88\x1B\\", 2},
        {"LogOfACleanExchange", kHeader + "\n   1 ms  PC -> ECR  $v\t[24-76-]\n"
                                          "   9 ms  ECR -> PC  $V\t[1B-50-24-56-4F-4B-38-39-1B-5C-]\n", 0},
        {"LogOfAWrongChecksum", kHeader + "\n   1 ms  PC -> ECR  $v\t[24-76-]\n"
                                          "   9 ms  ECR -> PC  $V\t[1B-50-24-56-4F-4B-38-38-1B-5C-]\n", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Stream(c.capture, 5).failedFrames, c.failed) << c.name;
    }
}

TEST(CaptureStream, MonitorTextLargerThanItsLimitIsRefused)
{
    std::vector<std::string> lines;
    ECRCaptureStream stream([&lines](const std::string& line) { lines.push_back(line); });
    std::string entries;
    while (entries.size() < 1024 * 1024) {
        entries += "23-77-\r\n #  w \r\n";
    }
    std::size_t fed = 0;
    while (stream.Feed(entries)) {
        fed += entries.size();
        ASSERT_LE(fed, ECRCaptureStream::kMaxMonitorText) << "never refused";
    }
    EXPECT_GT(fed + entries.size(), ECRCaptureStream::kMaxMonitorText);
    EXPECT_FALSE(stream.Feed("23-77-\r\n"));
    stream.Finish();
    EXPECT_TRUE(lines.empty());
}

TEST(CaptureStream, ALogLineLongerThanItsLimitIsLeftOutAndSaidSo)
{
    const std::string message = "      41 ms  message    Operacija je uspesna";
    const std::string capture =
        kHeader + "\n" + std::string(ECRCaptureStream::kMaxLogLine + 1, 'x') + "\r\n" + message + "\n";
    // Seen before its end comes, and seen whole.
    for (const std::size_t piece : {std::size_t{4096}, capture.size()}) {
        const std::vector<std::string> lines = Stream(capture, piece).lines;
        ASSERT_EQ(lines.size(), 3u) << "pieces of " << piece;
        EXPECT_EQ(lines[1], "line 2 is longer than 1048576 bytes: left out");
        EXPECT_EQ(lines[2], message);
    }
}

}  // namespace
