// What ecrctl does when the register's answers are not what they claim, late,
// or missing: a documented exit code, a message, and no file damaged.
#include "../articles/TempFolder.h"
#include "EcrCtlFixture.h"
#include "JsonReader.h"

#include "ecr/protocol/ECREngine.h"
#include "sim/ECRSimulator.h"
#include "support/ScriptedRegister.h"

#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <ostream>

namespace {

const std::string US = "\x1F";
const std::string LF = "\n";
const std::string TAB = "\t";

// Stands in the file a case may be asked to write; it must survive a failed run.
const char* const kFileArg = "FILE";
const char* const kEarlierContent = "written by an earlier run\n";

// The same field count times.
std::string Fields(const std::string& field, int count)
{
    std::string fields;
    for (int i = 0; i < count; ++i)
        fields += field;
    return fields;
}

// Answers by command code; a code without an entry gets no answer.
ScriptedRegister::Script ByCommand(std::map<std::string, std::string> replies)
{
    return [replies](const std::string& payload) -> std::optional<std::string> {
        const auto found = replies.find(payload.substr(0, 2));
        if (found == replies.end())
            return std::nullopt;
        return found->second;
    };
}

// "$o" answered from a table walked in the given order of names: mode 4 with
// an empty name reads the first, 2 the last, 4 with a name the one after it.
ScriptedRegister::Script ArticleWalk(std::vector<std::string> order, std::string last)
{
    return [order, last](const std::string& payload) -> std::optional<std::string> {
        const std::string name = payload.substr(2, payload.find('\n') - 2);
        const bool readLast = payload.substr(payload.find('\n') + 1) == "2" + US;
        std::string found;
        if (readLast)
            found = last;
        else if (name.empty())
            found = order.front();
        else
            for (std::size_t i = 0; i + 1 < order.size(); ++i)
                if (order[i] == name)
                    found = order[i + 1];
        return "$O" + found + LF + "100" + TAB + "1" + US + "0" + US + "0" + TAB + "0" + TAB;
    };
}

std::string Hex(int from, int count)
{
    std::string hex;
    char digits[3];
    for (int i = from; i < from + count; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", i & 0xFF);
        hex += digits;
    }
    return hex;
}

// Area 2 of 256 bytes; block 128 is answered with the header of block 0.
std::optional<std::string> MemoryWithAWrongBlock(const std::string& payload)
{
    if (payload == "$q2" + US)
        return "$Q2" + US + "256";
    const int offset = std::stoi(payload.substr(("$q2" + US + "128" + US).size()));
    return "$Q2" + US + "0" + TAB + Hex(offset, 128);
}

struct ScriptedCase {
    const char* label;
    std::vector<std::string> args;
    ScriptedRegister::Script script;
    int exitCode;
    const char* message;   // on standard error
    const char* printed;   // on standard output, or null for nothing
};

void PrintTo(const ScriptedCase& c, std::ostream* os)
{
    *os << c.label;
}

// The scripted register answers at once; a shorter wait for an answer that
// never comes keeps the cases quick.
class EcrCtlScripted : public testing::TestWithParam<ScriptedCase> {
protected:
    void SetUp() override
    {
        m_previousLimits = ECREngine::DefaultPollLimits();
        ECREngine::PollLimits limits = m_previousLimits;
        limits.replyTimeoutMs = 300;
        ECREngine::SetDefaultPollLimits(limits);
    }
    void TearDown() override { ECREngine::SetDefaultPollLimits(m_previousLimits); }

private:
    ECREngine::PollLimits m_previousLimits;
};

const ScriptedCase kScriptedCases[] = {
    {"raw_without_answer", {"raw", "#dArtikal1\\x0A"}, ByCommand({}), 3, "no answer from the register", nullptr},
    {"list_refused_checksum", {"articles", "list", "--out", kFileArg}, ByCommand({{"$o", "#Zo" + LF + "2" + US}}), 1,
     "(code 2)", nullptr},
    {"list_refused_unknown", {"articles", "list", "--out", kFileArg}, ByCommand({{"$o", "#Zo" + LF + "255" + US}}), 1,
     "(code 255)", nullptr},
    {"list_goes_round", {"articles", "list", "--out", kFileArg}, ArticleWalk({"A", "B", "A"}, "Z"), 3,
     "the list ends early", "A\t1.00\t1\t0\nB\t1.00\t1\t0\n"},
    {"list_empty_name", {"articles", "list", "--out", kFileArg}, ArticleWalk({"A", "B", ""}, "Z"), 3,
     "the list ends early", "A\t1.00\t1\t0\nB\t1.00\t1\t0\n"},
    {"pay_code_not_a_number", {"pay", "10"}, ByCommand({{"*e", "#Ze" + LF + "XYZ" + US}}), 3, "failed its check",
     nullptr},
    {"sell_code_not_a_number", {"sell", "Sok", "10", "1", "2"},
     ByCommand({{"*t", "*t"}, {"*l", "#Zl" + LF + "XYZ" + US}}), 3, "failed its check", nullptr},
    {"memory_block_for_another_offset", {"memory", "dump", "2", kFileArg}, MemoryWithAWrongBlock, 3, "Sync Error!",
     nullptr},
    {"memory_negative_size", {"memory", "dump", "2", kFileArg}, ByCommand({{"$q", "$Q2" + US + "-5"}}), 3,
     "Sync Error!", nullptr},
    {"clock_not_numbers", {"clock"},
     ByCommand({{"$c", "$Caa" + US + "bb" + US + "cc" + US + "dd" + US + "ee" + US}}), 3, "Sync Error!", nullptr},
    {"clock_month_13", {"clock"}, ByCommand({{"$c", "$C26" + US + "13" + US + "1" + US + "9" + US + "41" + US}}), 3,
     "Sync Error!", nullptr},
    // A value out of its range is a reply that failed its check, the field
    // named; never clamped, read as 0 or taken from a refusal's code.
    {"tax_rate_beyond_the_int_range", {"tax-rates"}, ByCommand({{"$v", "$V99999999999" + TAB}}), 3,
     "the register's answer to $v failed its check (tax rate A: 99999999999 is not a number from 0 to 9999)",
     nullptr},
    {"subtotal_beyond_the_int_range", {"subtotal"}, ByCommand({{"*u", "*U99999999999"}}), 3,
     "the register's answer to *u failed its check (subtotal: 99999999999 is not", nullptr},
    {"article_negative_price", {"articles", "list"},
     ByCommand({{"$o", "$OSok" + LF + "-100" + TAB + "1" + US + "0" + US + "0" + TAB + "0" + TAB}}), 3,
     "(price: -100 is not a number from 0 to 99999999)", nullptr},
    {"totalizer_not_a_number", {"totalizers"}, ByCommand({{"$t", "$T100" + TAB + "1.5" + TAB}}), 3,
     "(totalizer G: 1.5 is not a whole number of at most 18 digits)", nullptr},
    {"header_flag_2", {"header"},
     ByCommand({{"$h", "$HA\nB\nC\nD\nE\n2" + US + "0" + US + "0" + US + "0" + US + "0" + US}}), 3,
     "(line 1 double size: 2 is not 0 or 1)", nullptr},
    // A reply with fewer fields than its command's reply lists failed its
    // check: a missing rate or total read as 0 would be printed, or saved in
    // a backup and written back, as the register's.
    {"tax_rates_one_short", {"tax-rates"}, ByCommand({{"$v", "$V" + Fields("1000" + TAB, 8)}}), 3,
     "the register's answer to $v failed its check (tax rate K is missing)", nullptr},
    {"totalizers_one_short", {"totalizers"}, ByCommand({{"$t", "$T" + Fields("100" + TAB, 12)}}), 3,
     "the register's answer to $t failed its check (totalizer nonFiscalToday is missing)", nullptr},
    {"logo_switch_missing", {"logo", "status"}, ByCommand({{"$y", "$Y1" + US}}), 3, "(logo printing is missing)",
     nullptr},
    {"article_one_short", {"articles", "list"},
     ByCommand({{"$o", "$OSok" + LF + "100" + TAB + "1" + US + "0" + US + "0" + TAB}}), 3, "(value2 is missing)",
     nullptr},
    {"subtotal_missing", {"subtotal"}, ByCommand({{"*u", "*U"}}), 3,
     "the register's answer to *u failed its check (subtotal is missing)", nullptr},
    // Refused with code 20: no value, the register's message.
    {"subtotal_refused", {"subtotal"}, ByCommand({{"*u", "#Zu" + LF + "20" + US}}), 1, "(code 20)", nullptr},
    // The one reader the dialogs, ecrctl and backup share: every line up to its LF.
    {"header_with_an_empty_line", {"header"},
     ByCommand({{"$h", "$HA\n\nC\nD\nE\n1" + US + "0" + US + "0" + US + "1" + US + "0" + US}}), 0, "",
     "1 [2x]\tA\n2\t\n3\tC\n4 [2x]\tD\n5\tE\n"},
    {"timeout_names_the_request", {"clock"}, ByCommand({}), 3,
     "no answer from the register to $c (Timeout error)", nullptr},
};

}  // namespace

TEST_P(EcrCtlScripted, FailsWithTheDocumentedCodeAndTouchesNoFile)
{
    const ScriptedCase& c = GetParam();
    ScriptedRegister line(c.script);
    TempFolder folder;
    const std::string file = folder.Write("earlier.txt", kEarlierContent);

    std::vector<std::string> args{"--port", line.DevicePath()};
    for (const std::string& arg : c.args)
        args.push_back(arg == kFileArg ? file : arg);
    std::ostringstream out, err;
    const int exitCode = EcrCtl::Run(args, out, err);

    EXPECT_EQ(exitCode, c.exitCode) << err.str();
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), c.printed != nullptr ? c.printed : "");
    EXPECT_EQ(TempFolder::Read(file), kEarlierContent);
}

INSTANTIATE_TEST_SUITE_P(Replies, EcrCtlScripted, testing::ValuesIn(kScriptedCases),
                         [](const testing::TestParamInfo<ScriptedCase>& info) { return info.param.label; });

TEST(EcrCtlScriptedList, AnEmptyTableIsAFinishedListAndWritesTheFile)
{
    ScriptedRegister line(ByCommand({{"$o", "#Zo" + LF + "20" + US}}));
    TempFolder folder;
    const std::string file = folder.Write("list.txt", kEarlierContent);
    std::ostringstream out, err;
    EXPECT_EQ(EcrCtl::Run({"--port", line.DevicePath(), "articles", "list", "--out", file}, out, err), 0) << err.str();
    EXPECT_NE(err.str().find("no articles"), std::string::npos) << err.str();
    EXPECT_EQ(TempFolder::Read(file), "");
}

// The status byte with what it says: 0x06 ready, both top bits set busy,
// anything else no status byte the register sends.
TEST(EcrCtlScriptedStatus, SaysWhatTheStatusByteMeans)
{
    struct Case {
        char byte;
        const char* line;
        const char* meaning;
    };
    const Case cases[] = {
        {'\x06', "0x06 ready\n", "ready"},
        {'\xC0', "0xC0 busy\n", "busy"},
        {'\xFE', "0xFE busy\n", "busy"},
        {'\x80', "0x80 not a status byte the register sends\n", "unknown"},
        {'\x15', "0x15 not a status byte the register sends\n", "unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ScriptedRegister line(ByCommand({}), c.byte);
        std::ostringstream out, err;
        EXPECT_EQ(EcrCtl::Run({"--port", line.DevicePath(), "status"}, out, err), 0) << err.str();
        EXPECT_EQ(out.str(), c.line);
        std::ostringstream jsonOut, jsonErr;
        EXPECT_EQ(EcrCtl::Run({"--port", line.DevicePath(), "--json", "status"}, jsonOut, jsonErr), 0);
        const Json json = Json::Parse(jsonOut.str());
        EXPECT_EQ(json["status"].number, static_cast<unsigned char>(c.byte));
        EXPECT_EQ(json["meaning"].text, c.meaning);
    }
}

// A result that cannot be written is no success, also when everything else was.
TEST_F(EcrCtlFixture, ResultsThatCannotBeWrittenAreAFileFailure)
{
    for (const bool json : {false, true}) {
        SCOPED_TRACE(json ? "json" : "text");
        std::ofstream full("/dev/full");
        ASSERT_TRUE(full.is_open());
        std::ostringstream err;
        std::vector<std::string> args{"--port", host.DevicePath(), "clock"};
        if (json)
            args.insert(args.begin(), "--json");
        EXPECT_EQ(EcrCtl::Run(args, full, err), 4);
        EXPECT_NE(err.str().find("cannot write the results"), std::string::npos) << err.str();
    }
}

// Bytes an earlier run left on the line are drained before the log-on's
// status enquiry: not taken for the status, nor for no answer at all.
TEST_F(EcrCtlFixture, BytesLeftByAnEarlierRunAreNotTheStatus)
{
    for (const std::string& stale : {std::string("\xC0"), std::string(1, '\0'), std::string("\x1B" "P#dAA")}) {
        host.WithSimulator([&stale](ECRSimulator& sim) {
            SimFaults faults;
            faults.staleAfterReply = stale;
            sim.SetFaults(faults);
        });
        ASSERT_EQ(Run({"clock"}).exitCode, 0);
        host.WithSimulator([](ECRSimulator& sim) { sim.SetFaults(SimFaults{}); });
        const Outcome status = Run({"status"});
        EXPECT_EQ(status.exitCode, 0) << status.err;
        EXPECT_EQ(status.out, "0x06 ready\n");
    }
}

// A slow answer to "raw" is waited for as long as any command's, so it is
// neither reported as none nor left for the next run to take as its own.
TEST_F(EcrCtlFixture, ASlowAnswerIsNotLeftForTheNextRun)
{
    TempFolder folder;
    ASSERT_EQ(Run({"articles", "import", folder.Write("a.txt", "Artikal1,1,1,0\n")}).exitCode, 0);
    host.WithSimulator([](ECRSimulator& sim) {
        SimFaults faults;
        faults.replyDelayMs = 1200;
        sim.SetFaults(faults);
    });
    const Outcome raw = Run({"raw", "#dArtikal1\\x0A"}, {"--json"});
    EXPECT_EQ(raw.exitCode, 0) << raw.err;
    EXPECT_EQ(Json::Parse(raw.out)["answer"].text, "#d");

    const Outcome again = Run({"articles", "delete", "Artikal1"});
    EXPECT_EQ(again.exitCode, 1) << again.err;
    EXPECT_NE(again.err.find("(code 20)"), std::string::npos) << again.err;
}
