#include "EcrCtlFixture.h"
#include "JsonReader.h"
#include "articles/TempFolder.h"
#include "cli/DecodeSubcommand.h"
#include "ecr/commands/ECRSessionLog.h"
#include "support/TextLines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <sys/stat.h>

namespace {

// The text after the time column of a decoded line.
std::string AfterTime(const std::string& line)
{
    const std::size_t at = line.find(" ms  ");
    return at == std::string::npos ? line : line.substr(at + 5);
}

TEST_F(EcrCtlFixture, DecodedTraceShowsEachFrameWithItsTime)
{
    const Outcome outcome = Run({"clock"}, {"--trace=decoded"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const std::vector<std::string> lines = Lines(outcome.err);
    ASSERT_EQ(lines.size(), 3u) << outcome.err;
    EXPECT_EQ(AfterTime(lines[0]), "ECR -> PC  status 06 ready");
    EXPECT_EQ(AfterTime(lines[1]), "PC -> ECR  $c citanje sata  cs=B8");
    EXPECT_EQ(AfterTime(lines[2]).rfind("ECR -> PC  $C citanje sata: clock=20", 0), 0u) << lines[2];
    EXPECT_NE(lines[2].find("ok  code=0 Operacija je uspesna"), std::string::npos) << lines[2];
    EXPECT_EQ(outcome.err.find("24-63-"), std::string::npos) << "no hexadecimal form";

    EXPECT_EQ(Run({"clock"}, {"--trace=binary"}).exitCode, 2);
}

TEST_F(EcrCtlFixture, LogKeepsEveryRunAppendedAndHowItEnded)
{
    TempFolder folder;
    const std::string log = folder.File("run.log");
    ASSERT_EQ(Run({"clock"}, {"--log", log}).exitCode, 0);
    const Outcome refused = Run({"articles", "delete", "Nema"}, {"--log", log});
    ASSERT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err.find(" ms "), std::string::npos) << "no trace unless asked";

    const std::vector<std::string> lines = Lines(TempFolder::Read(log));
    std::vector<std::string> shown;
    for (const std::string& line : lines) {
        std::string_view decoded = line;
        std::string bytes;
        const bool traffic = ECRSessionLog::ParseTrafficLine(line, decoded, bytes);
        shown.push_back(line[0] == '#' ? line.substr(0, 29) : AfterTime(std::string(decoded)) + (traffic ? " |" : ""));
    }
    const std::vector<std::string> expected = {
        // The log-on drains the line (the first empty read), asks the status and
        // flushes the input before the request (the second).
        "# thermal session log: ecrctl",
        "ECR -> PC  empty read |",
        "ECR -> PC  status 06 ready |",
        "ECR -> PC  empty read |",
        "PC -> ECR  $c citanje sata  cs=B8 |",
        shown.size() > 5 ? shown[5] : "",
        "message    Operacija je uspesna",
        "note       ecrctl ended with exit code 0",
        "# thermal session log: ecrctl",
        "ECR -> PC  empty read |",
        "ECR -> PC  status 06 ready |",
        "ECR -> PC  empty read |",
        "PC -> ECR  #d brisanje artikla: name=Nema  cs=95 |",
        "ECR -> PC  #Z brisanje artikla  cs=F5 ok  code=20 Izabran je nepostojeci artikal |",
        "message    Izabran je nepostojeci artikal",
        "note       ecrctl ended with exit code 1: the register refused: Izabran je nepostojeci artikal (code 20)",
    };
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(shown[5].rfind("ECR -> PC  $C citanje sata: clock=", 0), 0u) << shown[5];

    // The log decodes back to what it says.
    const Outcome decoded = RunExactly({"decode", log});
    ASSERT_EQ(decoded.exitCode, 0) << decoded.err;
    std::vector<std::string> logged;
    for (const std::string& line : lines) {
        std::string_view text = line;
        std::string bytes;
        ECRSessionLog::ParseTrafficLine(line, text, bytes);
        logged.emplace_back(text);
    }
    EXPECT_EQ(Lines(decoded.out), logged);
}

TEST_F(EcrCtlFixture, LogThatCannotBeWrittenStopsTheRunBeforeAnythingIsSent)
{
    TempFolder folder;
    const Outcome outcome = Run({"report", "snapshot"}, {"--log", folder.File("missing/run.log")});
    EXPECT_EQ(outcome.exitCode, 4);
    EXPECT_NE(outcome.err.find("no session log: cannot open"), std::string::npos) << outcome.err;
    EXPECT_TRUE(Requests().empty());
}

TEST_F(EcrCtlFixture, DecodeReadsRawCapturesAndMonitorText)
{
    TempFolder folder;
    // Both ways of one exchange, as a line sniffer records them.
    const std::string raw = folder.Write("capture.bin", std::string("\x05\x06\x1B" "P#wAB\x1B\\\xC0\x1B" "P#wAB\x1B\\", 19));
    Outcome outcome = RunExactly({"decode", raw});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(Lines(outcome.out), (std::vector<std::string>{
                                      "PC -> ECR  ENQ status poll",
                                      "ECR -> PC  status 06 ready",
                                      "PC -> ECR  #w presek stanja  cs=AB ok",
                                      "ECR -> PC  status C0 busy",
                                      "ECR -> PC  #w presek stanja  cs=AB ok  code=0 Operacija je uspesna",
                                  }));
    EXPECT_TRUE(Requests().empty()) << "decoding needs no register";

    const std::string monitor = folder.Write("monitor.txt", "23-77-\r\n #  w \r\n06-\r\n . ");
    outcome = RunExactly({"--json", "decode", monitor});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const Json doc = Json::Parse(outcome.out);
    ASSERT_EQ(doc["lines"].items.size(), 2u) << outcome.out;
    EXPECT_EQ(doc["lines"].items[0].text, "ECR -> PC  status 06 ready");
    EXPECT_EQ(doc["lines"].items[1].text, "PC -> ECR  #w presek stanja  cs=AB");

    outcome = RunExactly({"decode", folder.File("none.bin")});
    EXPECT_EQ(outcome.exitCode, 4);
    EXPECT_NE(outcome.err.find(folder.File("none.bin") + ": cannot be opened"), std::string::npos) << outcome.err;
    EXPECT_EQ(RunExactly({"decode"}).exitCode, 2);
}

// What is no capture file is refused at once (exit 4) and never read
// without end: a folder, a FIFO with no writer, a device, a file larger than
// decode takes (sparse, so that it costs no disk).
TEST_F(EcrCtlFixture, DecodeRefusesWhatIsNoCaptureFile)
{
    TempFolder folder;
    const std::string fifo = folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = folder.Write("huge.bin", "");
    std::filesystem::resize_file(huge, DecodeSubcommand::kMaxBytes + 1);
    struct Case {
        std::string path;
        std::string says;
    };
    const Case cases[] = {
        {folder.File(""), ": not a file (a directory)"},
        {fifo, ": not a file (a FIFO)"},
        {"/dev/zero", ": not a file (a device)"},
        {huge, ": larger than 1073741824 bytes"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = RunExactly({"decode", c.path});
        EXPECT_EQ(outcome.exitCode, 4) << c.path;
        EXPECT_NE(outcome.err.find(c.path + c.says), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.out.empty()) << outcome.out;
    }
}

// Frames that failed their check: every line is printed all the same, and the
// run ends with exit code 3 saying how many, as a run with the register would.
TEST_F(EcrCtlFixture, DecodeExitsThreeWhenAFrameFailedItsCheck)
{
    TempFolder folder;
    // "$v", an answer with a wrong checksum, and a request cut short.
    const std::string raw = folder.Write("bad.bin", "\x1B" "P$vAD\x1B\\\x1B" "P$VOK88\x1B\\\x1B" "P$v");
    const std::vector<std::string> lines = {
        "PC -> ECR  $v citanje poreskih stopa  cs=AD ok",
        "ECR -> PC  $V citanje poreskih stopa: [unparsable: A not ended by TAB; data 4F-4B-]  cs=88 bad, expected 89",
        "PC -> ECR  unparsable: truncated frame, no ESC \\ at its end: 1B-50-24-76-",
    };
    Outcome outcome = RunExactly({"decode", raw});
    EXPECT_EQ(outcome.exitCode, 3);
    EXPECT_EQ(Lines(outcome.out), lines);
    EXPECT_NE(outcome.err.find("2 frames in " + raw + " failed their check"), std::string::npos) << outcome.err;

    outcome = RunExactly({"--json", "decode", raw});
    EXPECT_EQ(outcome.exitCode, 3);
    const Json doc = Json::Parse(outcome.out);
    ASSERT_EQ(doc["lines"].items.size(), 3u) << outcome.out;
    EXPECT_EQ(doc["lines"].items[2].text, lines[2]);
    EXPECT_EQ(doc["exitCode"].number, 3) << outcome.out;

    // A clean capture exits 0.
    EXPECT_EQ(RunExactly({"decode", folder.Write("good.bin", "\x1B" "P$vAD\x1B\\")}).exitCode, 0);
}

}  // namespace
