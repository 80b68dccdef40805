// Subcommands that read or write files: articles, logo, memory dump.
#include "../articles/TempFolder.h"
#include "EcrCtlFixture.h"
#include "JsonReader.h"

#include "ecr/commands/Utf8.h"
#include "sim/ECRSimulator.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// A 360 x height plain bitmap (P1) with the given pixels black.
std::string Pbm(int height, const std::vector<std::pair<int, int>>& blacks, int width = 360)
{
    std::string text = "P1\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            text += std::find(blacks.begin(), blacks.end(), std::make_pair(x, y)) != blacks.end() ? '1' : '0';
        text += '\n';
    }
    return text;
}

}  // namespace

TEST_F(EcrCtlFixture, ImportedArticlesComeBackInTheListFile)
{
    TempFolder folder;
    const std::string import = folder.Write("plu.txt", "Sok,12.5,2,1\r\n\r\nMleko,89.90,2,3\r\n");
    const Outcome imported = Run({"articles", "import", import});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(Requests(), (std::vector<std::string>{"#rSok\n1250\t2\x1F" "1\x1F", "#rMleko\n8990\t2\x1F" "3\x1F"}));

    const std::string listFile = folder.File("list.txt");
    const Outcome listed = Run({"articles", "list", "--out", listFile}, {"--json"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const Json doc = Json::Parse(listed.out);
    ASSERT_EQ(doc["count"].number, 2);
    std::vector<std::string> names;
    for (const Json& item : doc["articles"].items)
        names.push_back(item["name"].text);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Mleko", "Sok"}));

    const std::string saved = TempFolder::Read(listFile);
    EXPECT_NE(saved.find("Sok,1250,"), std::string::npos) << saved;
    EXPECT_NE(saved.find(",2,1\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Mleko,8990,"), std::string::npos) << saved;
}

TEST_F(EcrCtlFixture, Utf8ImportIsSentAsTheRegistersBytesAndAForeignCharacterSendsNothing)
{
    TempFolder folder;
    const Outcome converted = Run({"articles", "import", folder.Write("utf8.txt", "\xC4\x8C" "aj,1,2,0\n")});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_EQ(Requests(), std::vector<std::string>{"#r\xC8" "aj\n100\t2\x1F" "0\x1F"});

    host.ClearRequests();
    const std::string foreign = folder.Write("foreign.txt", "Sok,1,2,0\n\xE6\x97\xA5,1,2,0\n");
    const Outcome refused = Run({"articles", "import", foreign});
    EXPECT_EQ(refused.exitCode, 4);
    EXPECT_NE(refused.err.find(foreign + ", line 2: "), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("U+65E5"), std::string::npos) << refused.err;
    EXPECT_TRUE(Requests().empty());
}

TEST_F(EcrCtlFixture, ImportGoesOnPastRefusedArticlesAndEndsRefused)
{
    TempFolder folder;
    const std::string import = folder.Write("plu.txt", "Sok,1,2,1\nLos,1,8,1\nMleko,2,2,1\n");
    // An open receipt makes the register refuse programming.
    ASSERT_EQ(Run({"sell", "Kafa", "1", "1", "2"}).exitCode, 0);
    host.ClearRequests();
    const Outcome outcome = Run({"articles", "import", import}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_EQ(Requests().size(), 3U);
    const Json doc = Json::Parse(outcome.out);
    EXPECT_EQ(doc["sent"].number, 3);
    EXPECT_EQ(doc["refused"].number, 3);
    EXPECT_EQ(doc["skipped"].number, 0);
    EXPECT_NE(outcome.err.find("3 article(s) refused, the first (Sok)"), std::string::npos) << outcome.err;
}

TEST_F(EcrCtlFixture, AnArticleWhoseAnswerFailsItsCheckIsNotCountedAsProgrammed)
{
    TempFolder folder;
    const std::string import = folder.Write("plu.txt", "Sok,1,2,1\nKafa,1,2,1\nMleko,2,2,1\n");
    // The second answer carries a letter no command was sent with.
    SetFaults([](SimFaults& faults) { faults.wrongLetterEvery = 2; });
    const Outcome outcome = Run({"articles", "import", import}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 3) << outcome.err;
    const Json doc = Json::Parse(outcome.out);
    EXPECT_EQ(doc["sent"].number, 3);
    EXPECT_EQ(doc["accepted"].number, 2);
    EXPECT_EQ(doc["unconfirmed"].number, 1);
    EXPECT_EQ(doc["refused"].number, 0);
    EXPECT_NE(outcome.err.find("1 article(s) unconfirmed: the register's answer failed its check (reply letter)"),
              std::string::npos)
        << outcome.err;
}

TEST_F(EcrCtlFixture, ImportFilesAreCheckedWholeBeforeTheFirstArticleIsSent)
{
    TempFolder folder;
    struct Case {
        std::string text;
        std::string error;  // after the file's path
    };
    const Case cases[] = {
        {"Sok,1,2,1\nVoda,1,1,1\nHleb,2,2,1\nLo\tS,1,1,1\nKafa,1,1,1\n",
         ", line 4, name: holds the control byte 0x09 (TAB) at character 3"},
        {"Sok,1,2,1\n" + std::string(10 * 1024 * 1024, 'x') + ",1,1,1\n", ", line 2: longer than 1024 bytes"},
        {"Sok,1,2,1\nKafa,0,1,1\n", ", line 2, price: outside 0.01..999999.99"},
        {"Sok,1,2,1\nKafa 1.50 1 1\n", ", line 2: no comma: expected name,price,tax,unit"},
        {"\xC4\x8C" "aj,1,1,1\n\xD0\x96ito,1,1,1\n", ", line 2: '\xD0\x96' (U+0416) at character 1 has no Windows-1250 form"},
    };
    for (const Case& c : cases) {
        const std::string import = folder.Write("plu.txt", c.text);
        const Outcome outcome = Run({"articles", "import", import}, {"--json"});
        EXPECT_EQ(outcome.exitCode, 4) << c.error;
        const Json doc = Json::Parse(outcome.out);
        EXPECT_EQ(doc["error"].text, import + c.error);
        EXPECT_FALSE(doc["ok"].boolean);
    }
    EXPECT_TRUE(Requests().empty());
}

TEST_F(EcrCtlFixture, Utf8ImportFileProgramsTheRegistersBytes)
{
    TempFolder folder;
    const std::string import = folder.Write("plu.txt", "\xEF\xBB\xBF\xC4\x8C" "aj,2.50,2,1\r\n");
    const Outcome outcome = Run({"articles", "import", import});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(Requests(), std::vector<std::string>{"#r\xC8" "aj\n250\t2\x1F" "1\x1F"});
    // Now it can be deleted by the name typed in UTF-8.
    host.ClearRequests();
    EXPECT_EQ(Run({"articles", "delete", "\xC4\x8C" "aj"}).exitCode, 0);
    EXPECT_EQ(Requests(), std::vector<std::string>{"#d\xC8" "aj\n"});
}

TEST_F(EcrCtlFixture, ImportCountsWhatWasSentRefusedAndSkippedWhenTheLinkFails)
{
    TempFolder folder;
    const std::string import = folder.Write("plu.txt", "A,1,1,1\nB,1,1,1\nC,1,1,1\nD,1,1,1\nE,1,1,1\n");
    SetFaults([](SimFaults& faults) { faults.badChecksumEvery = 3; });
    const Outcome outcome = Run({"articles", "import", import}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 3) << outcome.err;
    const Json doc = Json::Parse(outcome.out);
    EXPECT_EQ(doc["sent"].number, 2);
    EXPECT_EQ(doc["refused"].number, 0);
    EXPECT_EQ(doc["skipped"].number, 3);

    const Outcome text = Run({"articles", "import", import});
    EXPECT_NE(text.out.find(" of 5 articles imported, 0 refused, "), std::string::npos) << text.out;
}

TEST_F(EcrCtlFixture, GeneratedArticlesInAscendingOrder)
{
    const Outcome outcome = Run({"articles", "generate", "--from", "2", "--to", "4"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(Requests(), (std::vector<std::string>{"#rArtikal2\n200\t3\x1F" "2\x1F", "#rArtikal3\n300\t3\x1F" "2\x1F",
                                                    "#rArtikal4\n400\t3\x1F" "2\x1F"}));
}

TEST_F(EcrCtlFixture, UnreadableFilesEndWithCodeFourAndSendNothing)
{
    TempFolder folder;
    const std::string notPicture = folder.Write("logo.bmp", "this is text");
    const std::string wide = folder.Write("wide.pbm", Pbm(13, {}, 361));
    const std::string tall = folder.Write("tall.pbm", Pbm(157, {}));
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const std::string huge = folder.Write("huge.bmp", "BM");
    std::filesystem::resize_file(huge, 50ULL * 1024 * 1024);
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const Case cases[] = {
        {{"articles", "import", folder.File("missing.txt")}, "missing.txt: cannot be opened"},
        {{"articles", "import", fifo}, "not a file (a FIFO)"},
        {{"articles", "import", folder.File("")}, "not a file (a directory)"},
        {{"logo", "upload", folder.File("missing.bmp")}, "missing.bmp: cannot be opened"},
        {{"logo", "upload", notPicture}, "logo.bmp"},
        // In ecrctl's language, naming the file and its size.
        {{"logo", "upload", wide}, "wide.pbm: a logo is 360 dots wide, this picture 361"},
        {{"logo", "upload", tall}, "tall.pbm: a logo is 13 to 156 dots high, this picture 157"},
        {{"logo", "upload", huge}, "larger than 4194304 bytes"},
        {{"logo", "upload", "/dev/zero"}, "not a file (a device)"},
        {{"logo", "upload", fifo}, "not a file (a FIFO)"},
        {{"logo", "upload", folder.File("")}, "not a file (a directory)"},
        {{"memory", "dump", "1", folder.File("")}, "not a file (a directory)"},
        {{"memory", "dump", "1", folder.File("missing/dump.bin")},
         "missing/dump.bin: cannot be opened (No such file or directory)"},
        {{"articles", "list", "--out", folder.File("")}, "not a file (a directory)"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(outcome.exitCode, 4) << c.args.back();
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    }
    EXPECT_TRUE(Requests().empty()) << "every file is checked before the port is opened";
}

TEST_F(EcrCtlFixture, LogoUploadSendsEveryRowThenStores)
{
    TempFolder folder;
    const std::string picture = folder.Write("logo.pbm", Pbm(13, {{0, 0}, {359, 12}}));
    const Outcome outcome = Run({"logo", "upload", picture});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const auto requests = Requests();
    ASSERT_EQ(requests.size(), 14U);
    const std::string zeros(88, '0');
    EXPECT_EQ(requests[0], "#n0\x1F" "80" + zeros + "\n");
    EXPECT_EQ(requests[1], "#n1\x1F" + zeros + "00\n");
    EXPECT_EQ(requests[12], "#n12\x1F" + zeros + "01\n");
    EXPECT_EQ(requests[13], "#g13\x1F" "45\x1F" "0\x1F");
}

TEST_F(EcrCtlFixture, MemoryDumpIsTheAreaByteForByte)
{
    TempFolder folder;
    const std::string dump = folder.File("fiscal.bin");
    const Outcome outcome = Run({"memory", "dump", "fiscal", dump}, {"--json"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const Json doc = Json::Parse(outcome.out);
    const std::string bytes = TempFolder::Read(dump);
    EXPECT_EQ(static_cast<long long>(bytes.size()), doc["size"].number);
    EXPECT_GT(bytes.size(), 0U);
    const auto requests = Requests();
    ASSERT_FALSE(requests.empty());
    for (const std::string& request : requests)
        EXPECT_EQ(request.substr(0, 4), "$q2\x1F") << "every request asks for area 2";
    // One size request, then one per 128-byte block.
    EXPECT_EQ(requests.size(), 1 + (bytes.size() + 127) / 128);
}

TEST_F(EcrCtlFixture, MemoryDumpToACharacterDeviceWritesInPlace)
{
    TempFolder folder;
    const std::string full = folder.File("full");
    if (::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "device nodes cannot be made here";
    const Outcome outcome = Run({"memory", "dump", "1", full}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 4) << outcome.err;
    EXPECT_NE(outcome.err.find("No space left on device"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out.find("bytes written"), std::string::npos) << "a refusing device is no success";
    struct stat status {};
    ASSERT_EQ(::lstat(full.c_str(), &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode)) << "the device is still a device";
}

TEST_F(EcrCtlFixture, JsonStaysValidForAPathThatIsNoUtf8)
{
    TempFolder folder;
    const std::string dump = folder.File("dump\xFF.bin");
    const Outcome outcome = Run({"memory", "dump", "1", dump + "/x"}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 4);
    EXPECT_TRUE(Utf8::IsValid(outcome.out)) << outcome.out;
    const Json doc = Json::Parse(outcome.out);
    EXPECT_NE(doc["error"].text.find("dump\xEF\xBF\xBD.bin"), std::string::npos) << doc["error"].text;
}

TEST_F(EcrCtlFixture, AnswersForAnotherCommandEndLongRunsAsLinkFailures)
{
    // Reads and writes that go on past refusals must still not count an
    // answer that belongs to another command as done.
    TempFolder folder;
    const std::string picture = folder.Write("logo.pbm", Pbm(13, {}));
    const std::vector<std::vector<std::string>> runs{
        {"articles", "list"}, {"articles", "generate", "--from", "2", "--to", "3"}, {"logo", "upload", picture}};
    SetFaults([](SimFaults& faults) { faults.wrongLetterEvery = 1; });
    for (const auto& args : runs) {
        const Outcome outcome = Run(args, {"--json"});
        EXPECT_EQ(outcome.exitCode, 3) << args[1] << ": " << outcome.err;
        EXPECT_NE(outcome.err.find("Sync Error!"), std::string::npos) << outcome.err;
        EXPECT_FALSE(Json::Parse(outcome.out)["ok"].boolean) << args[1];
    }
}
