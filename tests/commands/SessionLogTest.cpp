#include "articles/TempFolder.h"
#include "ecr/commands/ECRCapture.h"
#include "ecr/commands/ECRSessionLog.h"
#include "ecr/commands/ECRSessionTrace.h"
#include "support/TextLines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Direction = ECRTrafficDirection;

TEST(SessionLog, EveryEntryIsOnDiskAsSoonAsItIsTraced)
{
    TempFolder folder;
    const std::string path = folder.File("session.log");
    ECRSessionTrace trace;
    std::string error;
    ASSERT_TRUE(trace.OpenLog(path, "ecrctl", error)) << error;

    struct Step {
        Direction direction;
        std::string bytes;
    };
    const Step steps[] = {
        {Direction::FromRegister, ""},
        {Direction::ToRegister, "$c"},
        {Direction::FromRegister, "\x1B" "P$C26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F" "88\x1B\\"},
        {Direction::Note, "Exception"},
    };
    std::size_t expectedLines = 1;  // the header
    for (const Step& step : steps) {
        const std::string decoded = trace.Traffic(step.direction, step.bytes);
        const std::vector<std::string> lines = Lines(TempFolder::Read(path));
        ASSERT_EQ(lines.size(), ++expectedLines);
        std::string_view loggedDecoded;
        std::string loggedBytes;
        ASSERT_TRUE(ECRSessionLog::ParseTrafficLine(lines.back(), loggedDecoded, loggedBytes)) << lines.back();
        EXPECT_EQ(loggedDecoded, decoded);
        EXPECT_EQ(loggedBytes, step.bytes);
    }
    trace.Message("Operacija je uspesna \xB1");
    trace.Note("ecrctl: done\nexit 0");
    const std::vector<std::string> lines = Lines(TempFolder::Read(path));
    ASSERT_EQ(lines.size(), expectedLines + 2);
    EXPECT_EQ(lines[0].rfind("# thermal session log: ecrctl, started ", 0), 0u) << lines[0];
    EXPECT_NE(lines[1].find("ms  ECR -> PC  empty read\t[]"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("ms  PC -> ECR  $c citanje sata  cs=B8\t[24-63-]"), std::string::npos) << lines[2];
    EXPECT_NE(lines[5].find("ms  message    Operacija je uspesna \xC2\xB1"), std::string::npos) << lines[5];
    EXPECT_NE(lines[6].find("ms  note       ecrctl: done exit 0"), std::string::npos) << lines[6];
}

TEST(SessionLog, DecodingTheLogBackGivesTheSameLines)
{
    TempFolder folder;
    const std::string path = folder.File("session.log");
    std::vector<std::string> traced;
    // Two runs appended to one file: each starts a session of its own.
    for (int run = 0; run < 2; ++run) {
        ECRSessionTrace trace;
        std::string error;
        ASSERT_TRUE(trace.OpenLog(path, "ecrctl", error)) << error;
        traced.push_back(Lines(TempFolder::Read(path)).back());  // the header
        traced.push_back(trace.Traffic(Direction::ToRegister, "#w"));
        traced.push_back(trace.Traffic(Direction::FromRegister, "\xC0"));
        traced.push_back(trace.Traffic(Direction::FromRegister, "\x1B"));
        traced.push_back(trace.Traffic(Direction::FromRegister, "P#wAB\x1B\\"));
        trace.Message("Operacija je uspesna");
        traced.push_back(Lines(TempFolder::Read(path)).back());
        traced.push_back(trace.Traffic(Direction::ToRegister, "#rSok\n1250\t2\x1F" "1\x1F"));
        traced.push_back(trace.Traffic(Direction::FromRegister, "\x1B" "P#Zr\n114\x1F" "D5\x1B\\"));
    }
    EXPECT_EQ(ECRCapture::Detect(TempFolder::Read(path)), ECRCapture::Form::SessionLog);
    EXPECT_EQ(ECRCapture::Decode(TempFolder::Read(path)), traced);
}

TEST(SessionLog, MonitorTextDecodesOldestFirst)
{
    // The traffic box as copied: newest entry first, a hex line above a
    // printable line, CR LF between; the oldest entry is an empty read.
    const std::string monitor =
        "1B-50-23-77-41-42-1B-5C-\r\n"
        " .  P  #  w  A  B  .  \\ \r\n"
        "23-77-\r\n"
        " #  w \r\n"
        "\r\n";
    EXPECT_EQ(ECRCapture::Detect(monitor), ECRCapture::Form::MonitorText);
    const std::vector<std::string> expected = {
        "ECR -> PC  empty read",
        "PC -> ECR  #w presek stanja  cs=AB",
        "ECR -> PC  #w presek stanja  cs=AB ok  code=0 Operacija je uspesna",
    };
    EXPECT_EQ(ECRCapture::Decode(monitor), expected);
    // A line that is not hexadecimal is named, not dropped.
    EXPECT_EQ(ECRCapture::Decode("23-77-\r\n #  w \r\n2X-\r\n"),
              (std::vector<std::string>{"line 3 is not a hexadecimal line: 2X-", "PC -> ECR  #w presek stanja  cs=AB"}));
}

TEST(SessionLog, AFileThatCannotBeWrittenIsRefusedWithTheReason)
{
    TempFolder folder;
    struct Case {
        std::string path;
        std::string reason;
    };
    std::vector<Case> cases = {
        {folder.File("missing/session.log"), "No such file or directory"},
#ifdef _WIN32
        {folder.File(""), "Permission denied"},  // what Windows says of a folder
#else
        {folder.File(""), "Is a directory"},
#endif
    };
    if (std::filesystem::exists("/dev/full")) {
        cases.push_back({"/dev/full", "No space left on device"});
    }
    for (const Case& c : cases) {
        ECRSessionLog log;
        std::string error;
        EXPECT_FALSE(log.Open(c.path, "thermal", error)) << c.path;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_NE(error.find(c.path), std::string::npos) << error;
        EXPECT_FALSE(log.IsOpen());
    }
    // Tracing goes on without a log.
    ECRSessionTrace trace;
    EXPECT_NE(trace.Traffic(Direction::ToRegister, "#w").find("#w presek stanja"), std::string::npos);
    EXPECT_EQ(trace.TakeLogFailure(), "");
}

}  // namespace
