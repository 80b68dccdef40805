// ecrctl backup, diff and restore against the simulated register.
#include "../articles/TempFolder.h"
#include "EcrCtlFixture.h"
#include "JsonReader.h"
#include "sim/ECRSimulator.h"

#include <algorithm>

namespace {

using Words = std::vector<std::string>;

// What the tests program before the first backup: an empty middle header
// line, flags after it, and texts in Windows-1250.
void Program(ECRSimulator& sim)
{
    SimRegisterState& state = sim.State();
    state.headerLines = {"PRODAVNICA", "", "Beograd", "Tel 011", ""};
    state.headerDouble = {true, false, false, true, false};
    state.advertLines = {"Hvala",
                         "",
                         "",
                         "",
                         "",
                         "",
                         "Dovi\x9A"
                         "enja"};
    state.advertDouble = {false, false, false, false, false, false, true};
    state.advertEnabled = true;
    state.logoEnabled = true;
    state.articles.Write("Sok", 1250, 2, 1);
    state.articles.Write("Hleb", 4500, 1, 0);
    state.articles.Write(
        "\xC8"
        "aj",
        9990, 2, 0);
}

// Writes, in order: every request but the reads.
Words Writes(const Words& requests)
{
    Words writes;
    std::copy_if(requests.begin(), requests.end(), std::back_inserter(writes),
                 [](const std::string& r) { return r.empty() || r[0] != '$'; });
    return writes;
}

class EcrCtlSetup : public EcrCtlFixture {
protected:
    void SetUp() override
    {
        EcrCtlFixture::SetUp();
        host.WithSimulator(Program);
        backup = folder.File("backup.json");
        const Outcome outcome = Run({"backup", backup});
        ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
        host.ClearRequests();
    }

    // The register changed as a replacement would differ: a header line, a
    // rate, an article changed, one gone, one new.
    void Change()
    {
        host.WithSimulator([](ECRSimulator& sim) {
            SimRegisterState& state = sim.State();
            state.headerLines[1] = "Nova 2";
            state.taxRates[1] = 800;
            state.articles.Write("Sok", 1300, 2, 1);
            state.articles.Erase("Hleb");
            state.articles.Write("Novo", 100, 0, 0);
        });
    }

    TempFolder folder;
    std::string backup;
};

const char* const kChanges =
    "header line 2: register \"Nova 2\", file \"\"\n"
    "tax rate G: register 8.00, file 10.00\n"
    "article \"Hleb\": not on the register (file 45.00 tax 1 unit 0)\n"
    "article \"Novo\": on the register only (1.00 tax 0 unit 0)\n"
    "article \"Sok\": register 13.00 tax 2 unit 1, file 12.50 tax 2 unit 1\n";

}  // namespace

TEST_F(EcrCtlSetup, BackupHoldsEverythingProgrammableInUtf8)
{
    const std::string saved = TempFolder::Read(backup);
    for (const char* expected :
         {"\"format\": \"ecrctl-backup\"", "\"version\": 1",
          "{\"text\": \"\", \"double\": false},\n    {\"text\": \"Beograd\", \"double\": false},\n"
          "    {\"text\": \"Tel 011\", \"double\": true}",
          "\"A\": \"20.00\", \"G\": \"10.00\"",
          "{\"text\": \"Dovi\xC5\xA1"
          "enja\", \"double\": true}",
          "\"enabled\": true\n  },\n  \"logo\": {\"enabled\": true}",
          "{\"name\": \"Hleb\", \"price\": \"45.00\", \"taxRate\": 1, \"unit\": 0},\n"
          "    {\"name\": \"Sok\", \"price\": \"12.50\", \"taxRate\": 2, \"unit\": 1},\n"
          "    {\"name\": \"\xC4\x8C"
          "aj\", \"price\": \"99.90\", \"taxRate\": 2, \"unit\": 0}\n"})
        EXPECT_NE(saved.find(expected), std::string::npos) << expected << "\nin\n" << saved;
}

TEST_F(EcrCtlSetup, DiffRestoreAndBackupAgainGiveTheFirstFile)
{
    Change();
    const Outcome differs = Run({"diff", backup});
    EXPECT_EQ(differs.exitCode, 1);
    EXPECT_EQ(differs.out, kChanges);
    EXPECT_TRUE(Writes(Requests()).empty()) << "diff only reads";

    host.ClearRequests();
    const Outcome restored = Run({"restore", backup, "--tax-rates", "--delete-extra"});
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    const Words writes = Writes(Requests());
    ASSERT_EQ(writes.size(), 5U);
    EXPECT_EQ(writes[0],
              "#hPRODAVNICA\n\nBeograd\nTel 011\n\n1\x1F"
              "0\x1F"
              "0\x1F"
              "1\x1F"
              "0\x1F");
    EXPECT_EQ(writes[1].substr(0, 2), "#v");
    const std::string rates = "2000\t1000\t0\t0\t0\t0\t0\t0\t0\t";
    EXPECT_EQ(writes[1].substr(writes[1].size() - rates.size()), rates);
    EXPECT_EQ(writes[2], "#dNovo\n") << "deleted before anything is added";
    EXPECT_EQ(writes[3],
              "#rHleb\n4500\t1\x1F"
              "0\x1F");
    EXPECT_EQ(writes[4],
              "#rSok\n1250\t2\x1F"
              "1\x1F");
    EXPECT_NE(restored.out.find("the register now matches"), std::string::npos) << restored.out;

    const Outcome same = Run({"diff", backup});
    EXPECT_EQ(same.exitCode, 0) << same.out;
    EXPECT_EQ(same.out, "");
    const std::string again = folder.File("again.json");
    ASSERT_EQ(Run({"backup", again}).exitCode, 0);
    EXPECT_EQ(TempFolder::Read(again), TempFolder::Read(backup));
}

// Values as data a script can compare, not English made for reading.
TEST_F(EcrCtlSetup, DiffGivesTheValuesAsData)
{
    Change();
    host.WithSimulator([](ECRSimulator& sim) { sim.State().headerDouble[0] = false; });
    const Outcome outcome = Run({"--json", "diff", backup});
    EXPECT_EQ(outcome.exitCode, 1);
    const Json doc = Json::Parse(outcome.out);
    const auto& items = doc["differences"].items;
    ASSERT_EQ(items.size(), 6U) << outcome.out;
    EXPECT_EQ(items[0]["item"].text, "header line 1 double size");
    EXPECT_EQ(items[0]["register"].kind, Json::Kind::Bool);
    EXPECT_FALSE(items[0]["register"].boolean);
    EXPECT_TRUE(items[0]["file"].boolean);
    EXPECT_EQ(items[1]["register"].text, "Nova 2") << "the text itself, not quoted";
    EXPECT_EQ(items[1]["file"].text, "");
    EXPECT_EQ(items[2]["register"].text, "8.00");
    EXPECT_EQ(items[2]["file"].text, "10.00");
    EXPECT_EQ(items[3]["item"].text, "article \"Hleb\"");
    EXPECT_EQ(items[3]["register"].kind, Json::Kind::Null);
    EXPECT_EQ(items[3]["file"]["price"].text, "45.00");
    EXPECT_EQ(items[3]["file"]["taxRate"].number, 1);
    EXPECT_EQ(items[3]["file"]["unit"].number, 0);
    EXPECT_EQ(items[5]["register"]["price"].text, "13.00");
    EXPECT_EQ(items[5]["file"]["price"].text, "12.50");

    EXPECT_EQ(Run({"diff", backup}).out, "header line 1 double size: register off, file on\n" + std::string(kChanges))
        << "the text output as before";
}

TEST_F(EcrCtlSetup, DryRunSendsNoWrite)
{
    Change();
    const Outcome outcome = Run({"restore", backup, "--dry-run", "--tax-rates", "--delete-extra"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_TRUE(Writes(Requests()).empty());
    EXPECT_EQ(outcome.out,
              "would write the header\n"
              "would write the tax rates\n"
              "would delete article \"Novo\"\n"
              "would write article \"Hleb\"\n"
              "would write article \"Sok\"\n");
    EXPECT_EQ(Run({"diff", backup}).exitCode, 1) << "still as it was";
}

TEST_F(EcrCtlSetup, RatesAndExtraArticlesAreLeftUnlessAskedFor)
{
    Change();
    const Outcome outcome = Run({"--json", "restore", backup});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(Writes(Requests()), (Words{"#hPRODAVNICA\n\nBeograd\nTel 011\n\n1\x1F"
                                         "0\x1F"
                                         "0\x1F"
                                         "1\x1F"
                                         "0\x1F",
                                         "#rHleb\n4500\t1\x1F"
                                         "0\x1F",
                                         "#rSok\n1250\t2\x1F"
                                         "1\x1F"}));
    const Json doc = Json::Parse(outcome.out);
    ASSERT_EQ(doc["left"].items.size(), 2U);
    EXPECT_EQ(doc["left"].items[0]["item"].text, "tax rate G");
    EXPECT_EQ(doc["left"].items[1]["item"].text, "article \"Novo\"");
    EXPECT_EQ(doc["left"].items[1]["file"].kind, Json::Kind::Null);
    EXPECT_TRUE(doc["remaining"].items.empty());
}

TEST_F(EcrCtlSetup, ARefusedWriteStopsTheRestoreNamingIt)
{
    Change();
    ASSERT_EQ(Run({"begin"}).exitCode, 0);
    host.ClearRequests();
    const Outcome outcome = Run({"restore", backup});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("write the header: the register refused"), std::string::npos) << outcome.err;
    EXPECT_EQ(Writes(Requests()).size(), 1U) << "nothing after the refusal";
}

TEST_F(EcrCtlSetup, ANameWithAByteWindows1250LeavesUndefinedComesBackWhole)
{
    host.WithSimulator([](ECRSimulator& sim) {
        sim.State().articles.Write(
            "A\x81"
            "B",
            100, 0, 0);
    });
    ASSERT_EQ(Run({"backup", backup}).exitCode, 0);
    host.WithSimulator([](ECRSimulator& sim) {
        sim.State().articles.Erase(
            "A\x81"
            "B");
    });
    host.ClearRequests();
    const Outcome outcome = Run({"restore", backup});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(Writes(Requests()), Words{"#rA\x81"
                                        "B\n100\t0\x1F"
                                        "0\x1F"});
}

namespace {

// A valid backup, written by hand, that each case spoils in one place.
const std::string kValid = R"({"format": "ecrctl-backup", "version": 1,
"header": [{"text": "H", "double": false}, {"text": "", "double": false}, {"text": "", "double": false},
           {"text": "", "double": false}, {"text": "", "double": false}],
"taxRates": {"A": "20.00", "G": "10", "D": "0", "Dj": "0", "E": "0", "Z": "0", "I": "0", "J": "0", "K": "0.5"},
"advert": {"lines": [{"text": "", "double": false}, {"text": "", "double": false}, {"text": "", "double": false},
                     {"text": "", "double": false}, {"text": "", "double": false}, {"text": "", "double": false},
                     {"text": "", "double": false}], "enabled": false},
"logo": {"enabled": false},
"articles": [{"name": "Sok", "price": "12.50", "taxRate": 2, "unit": 1},
             {"name": "Hleb", "price": "45", "taxRate": 1, "unit": 0}]}
)";

struct BadFile {
    const char* label;
    std::string from;  // replaced in kValid ...
    std::string to;    // ... by this
    const char* message;
};

void PrintTo(const BadFile& c, std::ostream* os)
{
    *os << c.label;
}

class EcrCtlBadBackup : public EcrCtlFixture, public testing::WithParamInterface<BadFile> {};

}  // namespace

TEST_F(EcrCtlFixture, TheHandWrittenBackupIsValid)
{
    TempFolder folder;
    const Outcome outcome = Run({"restore", "--dry-run", folder.Write("ok.json", kValid)});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("would write article \"Sok\""), std::string::npos) << outcome.out;
}

TEST_P(EcrCtlBadBackup, IsRefusedBeforeAnythingIsSent)
{
    const BadFile& c = GetParam();
    const std::size_t at = kValid.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    std::string content = kValid;
    content.replace(at, c.from.size(), c.to);
    TempFolder folder;
    const std::string path = folder.Write("bad.json", content);
    for (const char* command : {"restore", "diff"}) {
        host.ClearRequests();
        const Outcome outcome = Run({command, path});
        EXPECT_EQ(outcome.exitCode, 4) << command;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_TRUE(Requests().empty()) << command;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, EcrCtlBadBackup,
    testing::Values(
        BadFile{"truncated", "\"unit\": 0}]}\n", "\"unit\": 0}",
                "not a JSON document: line 10, column 70: the document ends before ']'"},
        BadFile{"trailing_comma", "\"unit\": 0}]}", "\"unit\": 0},]}", "a comma before ']'"},
        BadFile{"not_a_backup", "\"format\": \"ecrctl-backup\"", "\"format\": \"other\"", "not an ecrctl backup"},
        BadFile{"other_version", "\"version\": 1", "\"version\": 2", "format version 2; this ecrctl reads version 1"},
        BadFile{"no_version", "\"version\": 1,", "", "no format version"},
        BadFile{"foreign_character", "\"name\": \"Hleb\"", "\"name\": \"Hle\xD0\x96\"",
                "article 2 (\"Hle\xD0\x96\"): name: '\xD0\x96' (U+0416) at character 4 has no Windows-1250 form"},
        BadFile{"name_too_long", "\"name\": \"Sok\"", "\"name\": \"" + std::string(33, 'x') + "\"",
                "name: 33 characters, the register takes at most 32"},
        BadFile{"name_with_backslash", "\"name\": \"Sok\"", "\"name\": \"S\\\\k\"", "holds a backslash"},
        BadFile{"name_twice", "\"name\": \"Hleb\"", "\"name\": \"Sok\"", "article 2 (\"Sok\"): the name comes twice"},
        BadFile{"price_zero", "\"price\": \"45\"", "\"price\": \"0.00\"", "price: outside 0.01..999999.99"},
        BadFile{"price_with_comma", "\"price\": \"45\"", "\"price\": \"4,5\"", "\"4,5\" is not an amount"},
        BadFile{"price_too_large", "\"price\": \"45\"", "\"price\": \"1000000\"", "is not an amount of up to 6 digits"},
        BadFile{"price_as_number", "\"price\": \"45\"", "\"price\": 45", "price: expected a text, found a number"},
        BadFile{"tax_index", "\"taxRate\": 1,", "\"taxRate\": 9,", "tax rate: outside 0..8"},
        BadFile{"unit_index", "\"unit\": 0}", "\"unit\": -1}", "unit: outside 0..9"},
        BadFile{"rate_over_99_99", "\"K\": \"0.5\"", "\"K\": \"100\"", "tax rate K: \"100\" is not an amount"},
        BadFile{"rate_missing", ", \"K\": \"0.5\"", "", "taxRates: \"K\" is missing"},
        BadFile{"unknown_item", "\"logo\": {\"enabled\": false}", "\"logo\": {\"enabled\": false, \"rows\": 1}",
                "logo: unknown item \"rows\""},
        BadFile{"four_header_lines", "{\"text\": \"\", \"double\": false}, {\"text\": \"\", \"double\": false}]",
                "{\"text\": \"\", \"double\": false}]", "header: expected 5 lines, found 4"},
        BadFile{"header_line_with_tab", "{\"text\": \"H\"", "{\"text\": \"H\\tI\"",
                "header line 1: holds the control byte 0x09"},
        BadFile{"header_line_too_long", "{\"text\": \"H\"", "{\"text\": \"" + std::string(33, 'H') + "\"",
                "header line 1: 33 characters"},
        BadFile{"flag_as_number", "\"enabled\": false},\n\"logo\"", "\"enabled\": 0},\n\"logo\"",
                "advert: enabled: expected true or false"}),
    [](const testing::TestParamInfo<BadFile>& info) { return std::string(info.param.label); });

TEST_F(EcrCtlFixture, ABackupThatIsNoFileIsRefused)
{
    TempFolder folder;
    for (const std::string& path : {folder.File("missing.json"), folder.File("")}) {
        const Outcome outcome = Run({"restore", path});
        EXPECT_EQ(outcome.exitCode, 4) << path;
    }
    const Outcome unwritable = Run({"backup", folder.File("no/such/folder/b.json")});
    EXPECT_EQ(unwritable.exitCode, 4);
    EXPECT_TRUE(Requests().empty());
}
