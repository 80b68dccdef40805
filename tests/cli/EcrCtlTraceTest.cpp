#include "EcrCtlFixture.h"
#include "JsonReader.h"
#include "articles/TempFolder.h"
#include "ecr/commands/ECRSessionLog.h"
#include "support/TextLines.h"

#include <gtest/gtest.h>

#include <sstream>

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
    EXPECT_NE(outcome.err.find("cannot read " + folder.File("none.bin")), std::string::npos) << outcome.err;
    EXPECT_EQ(RunExactly({"decode"}).exitCode, 2);
}

}  // namespace
