#include "CommandHarness.h"
#include "support/MakeDateTime.h"

#include "ecr/commands/ECROperations.h"
#include "ecr/protocol/CommError.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace {

std::string Text(const ECRString& s)
{
    return std::string(s.Data(), s.Length());
}

struct RequestCase {
    const char* what;
    std::function<void(ECRDevice&)> call;
    std::string payload;
};

TEST(FiscalCommandsTest, RequestsCarryTheirFieldsInWireOrder)
{
    const ECRDateTime clock = MakeDateTime(26, 3, 15, 9, 41);
    const std::string clockFields = "26" + US + "3" + US + "15" + US + "9" + US + "41" + US;
    const RequestCase cases[] = {
        {"SetClock", [&](ECRDevice& d) { d.SetClock(clock); }, "#c" + clockFields},
        {"SetClock ignores seconds",
         [](ECRDevice& d) {
             ECRDateTime t = MakeDateTime(27, 12, 1, 0, 5);
             t.second = 33;
             d.SetClock(t);
         },
         "#c27" + US + "12" + US + "1" + US + "0" + US + "5" + US},
        {"ShiftClockHour forward", [](ECRDevice& d) { d.ShiftClockHour(1); }, "#t1" + US},
        {"ShiftClockHour back", [](ECRDevice& d) { d.ShiftClockHour(0); }, "#t0" + US},
        {"ShiftClockHour -1", [](ECRDevice& d) { d.ShiftClockHour(-1); }, "#t-1" + US},
        {"PrintDailyReport", [&](ECRDevice& d) { d.PrintDailyReport(clock); }, "#z" + clockFields},
        {"PrintPeriodicReport non-fiscal",
         [](ECRDevice& d) { d.PrintPeriodicReport(MakeDateTime(26, 1, 1, 8, 30), MakeDateTime(26, 1, 31, 23, 59), false); },
         "#o0" + US + "26" + US + "1" + US + "1" + US + "26" + US + "1" + US + "31" + US},
        {"PrintPeriodicReport fiscal",
         [](ECRDevice& d) { d.PrintPeriodicReport(MakeDateTime(25, 12, 24, 0, 0), MakeDateTime(26, 2, 3, 0, 0), true); },
         "#o1" + US + "25" + US + "12" + US + "24" + US + "26" + US + "2" + US + "3" + US},
        {"PrintStatusReport", [](ECRDevice& d) { d.PrintStatusReport(); }, "#w"},
        {"WriteIBFM", [](ECRDevice& d) { d.WriteIBFM("AB123456"); }, "#uAB123456" + LF},
        {"Fiscalize", [&](ECRDevice& d) { d.Fiscalize(clock, "100200300"); }, "#k" + clockFields + "100200300" + LF},
        {"WriteTaxRates",
         [&](ECRDevice& d) { d.WriteTaxRates({2000, 1000, 0, 800, 1, 2, 3, 4, 5}, MakeDateTime(26, 4, 2, 10, 5)); },
         "#v26" + US + "4" + US + "2" + US + "10" + US + "5" + US + "2000" + TAB + "1000" + TAB + "0" + TAB + "800" + TAB +
             "1" + TAB + "2" + TAB + "3" + TAB + "4" + TAB + "5" + TAB},
        {"WriteHeader",
         [](ECRDevice& d) {
             d.WriteHeader({"PRODAVNICA", "Ulica 1", "", "Grad", "PIB 123"}, {true, false, false, true, false});
         },
         "#hPRODAVNICA\nUlica 1\n\nGrad\nPIB 123\n1" + US + "0" + US + "0" + US + "1" + US + "0" + US},
        {"WriteAdvertText",
         [](ECRDevice& d) {
             d.WriteAdvertText({"Hvala", "na", "poseti", "", "", "", "Dodjite opet"},
                               {false, false, false, false, false, true, true});
         },
         "#iHvala\nna\nposeti\n\n\n\nDodjite opet\n0" + US + "0" + US + "0" + US + "0" + US + "0" + US + "1" + US + "1" + US},
        {"PrintInfoLine", [](ECRDevice& d) { d.PrintInfoLine("Servis 12", 3); }, "#l3" + US + "Servis 12" + LF},
        {"EndInfoPrint", [](ECRDevice& d) { d.EndInfoPrint(); }, "#e"},
        {"DisplayText both empty", [](ECRDevice& d) { d.DisplayText("", ""); }, "#q2" + US},
    };
    for (const RequestCase& c : cases) {
        SCOPED_TRACE(c.what);
        CommandHarness h;
        c.call(h.device);
        EXPECT_EQ(h.Payloads(), std::vector<std::string>{c.payload});
    }
}

TEST(FiscalCommandsTest, WholeFramesOnTheLine)
{
    CommandHarness h;
    h.device.PrintStatusReport();
    h.device.ShiftClockHour(1);
    h.device.SetClock(MakeDateTime(26, 3, 15, 9, 41));
    const std::vector<std::string> expected = {
        "\x1b\x50\x23\x77\x41\x42\x1b\x5c",
        "\x1b\x50\x23\x74\x31\x1f\x38\x36\x1b\x5c",
        "\x1b\x50\x23\x63\x32\x36\x1f\x33\x1f\x31\x35\x1f\x39\x1f\x34\x31\x1f\x41\x46\x1b\x5c",
    };
    EXPECT_EQ(h.port.writes, expected);
}

TEST(FiscalCommandsTest, DisplayTextSendsEachLineWithItsIndex)
{
    CommandHarness h;
    h.device.DisplayText("", "Dobar dan");
    EXPECT_EQ(h.Payloads(), (std::vector<std::string>{"#q0" + US + LF, "#q1" + US + "Dobar dan" + LF}));

    CommandHarness both;
    both.device.DisplayText("Ukupno", "12.34");
    EXPECT_EQ(both.Payloads(), (std::vector<std::string>{"#q0" + US + "Ukupno" + LF, "#q1" + US + "12.34" + LF}));
}

TEST(FiscalCommandsTest, ReadClockTakesFiveFieldsAndKeepsSecondsAtZero)
{
    CommandHarness h;
    h.Reply("$C26" + US + "3" + US + "15" + US + "9" + US + "41" + US);
    EXPECT_EQ(h.device.ReadClock(), MakeDateTime(26, 3, 15, 9, 41));
    EXPECT_EQ(h.Payloads(), std::vector<std::string>{"$c"});

    CommandHarness leapDay;
    leapDay.Reply("$C24" + US + "2" + US + "29" + US + "23" + US + "59" + US);
    EXPECT_EQ(leapDay.device.ReadClock(), MakeDateTime(24, 2, 29, 23, 59));
}

// A clock reply that is not a date failed its check: shown or stamped on a
// fiscal write, it would be a wrong time.
TEST(FiscalCommandsTest, ReadClockRefusesWhatIsNotADate)
{
    const std::string fields[] = {
        "26" + US + "3",                                            // cut short
        "aa" + US + "bb" + US + "cc" + US + "dd" + US + "ee" + US,  // not numbers
        "26" + US + "3x" + US + "15" + US + "9" + US + "41" + US,   // a number with more after it
        "26" + US + "13" + US + "15" + US + "9" + US + "41" + US,   // month 13
        "25" + US + "2" + US + "29" + US + "9" + US + "41" + US,    // 29 February of a common year
        "26" + US + "4" + US + "31" + US + "9" + US + "41" + US,    // 31 April
        "26" + US + "3" + US + "15" + US + "24" + US + "0" + US,    // hour 24
        "26" + US + "3" + US + "15" + US + "9" + US + "60" + US,    // minute 60
        "126" + US + "3" + US + "15" + US + "9" + US + "41" + US,   // not a two-digit year
    };
    for (const std::string& data : fields) {
        SCOPED_TRACE(data);
        CommandHarness h;
        h.Reply("$C" + data);
        try {
            h.device.ReadClock();
            ADD_FAILURE() << "taken for a date";
        } catch (const CommError& error) {
            EXPECT_EQ(error.code, CommError::Sync);
        }
    }

    // An answer for another command carries no date either.
    CommandHarness other;
    other.Reply("$V2000" + TAB);
    EXPECT_THROW(other.device.ReadClock(), CommError);
}

TEST(FiscalCommandsTest, ARefusedClockReadIsNoDateAndNoFailure)
{
    CommandHarness h;
    h.ReplyError("$c", 5);
    EXPECT_EQ(h.device.ReadClock(), ECRDateTime());
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 5);
}

TEST(FiscalCommandsTest, AClockStampedWriteIsNotSentWithoutTheRegistersDate)
{
    // Refused: nothing more is sent and the refusal stays the last code.
    CommandHarness refused;
    refused.ReplyError("$c", 5);
    ECROperations::PrintDailyReportNow(refused.device);
    EXPECT_EQ(refused.Payloads(), std::vector<std::string>{"$c"});

    // Answered for another command: no "#v" dated 2000-00-00 goes out.
    CommandHarness other;
    other.Reply("#v");
    EXPECT_THROW(ECROperations::WriteTaxRatesNow(other.device, {}), CommError);
    EXPECT_EQ(other.Payloads(), std::vector<std::string>{"$c"});
}

TEST(FiscalCommandsTest, ReadTaxRatesFillsMissingRatesWithZero)
{
    CommandHarness h;
    h.Reply("$V2000" + TAB + "1000" + TAB + "800" + TAB);
    std::array<std::int32_t, 9> rates;
    rates.fill(-1);
    h.device.ReadTaxRates(rates);
    EXPECT_EQ(rates, (std::array<std::int32_t, 9>{2000, 1000, 800, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(h.Payloads(), std::vector<std::string>{"$v"});

    CommandHarness full;
    full.Reply("$V1" + TAB + "2" + TAB + "3" + TAB + "4" + TAB + "5" + TAB + "6" + TAB + "7" + TAB + "8" + TAB + "9" + TAB +
               "10" + TAB);
    full.device.ReadTaxRates(rates);
    EXPECT_EQ(rates, (std::array<std::int32_t, 9>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

struct HeaderCase {
    const char* what;
    std::string data;
    std::array<const char*, 5> lines;
    std::array<bool, 5> flags;
};

TEST(FiscalCommandsTest, ReadHeaderTakesOnlyNonEmptyFields)
{
    const HeaderCase cases[] = {
        {"all lines hold text", "L1\nL2\nL3\nL4\nL5\n1" + US + "0" + US + "1" + US + "0" + US + "1" + US,
         {"L1", "L2", "L3", "L4", "L5"},
         {true, false, true, false, true}},
        // The LF of an empty line is never removed, so every later line reads
        // empty and the first flag swallows the remaining lines.
        {"third line empty", "L1\nL2\n\nL4\nL5\n1" + US + "0" + US + "1" + US + "0" + US + "1" + US,
         {"L1", "L2", "", "", ""},
         {false, false, true, false, true}},
        {"flag texts other than 1", "A\nB\nC\nD\nE\n01" + US + "2" + US + "1" + US + US + "1",
         {"A", "B", "C", "D", "E"},
         {false, false, true, false, false}},
        {"empty reply", "", {"", "", "", "", ""}, {false, false, false, false, false}},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.what);
        CommandHarness h;
        h.Reply("$H" + c.data);
        std::array<ECRString, 5> lines = {"x", "x", "x", "x", "x"};
        std::array<bool, 5> flags = {true, true, true, true, true};
        h.device.ReadHeader(lines, flags);
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(Text(lines[i]), c.lines[i]) << "line " << i + 1;
        }
        EXPECT_EQ(flags, c.flags);
        EXPECT_EQ(h.Payloads(), std::vector<std::string>{"$h"});
    }
}

TEST(FiscalCommandsTest, ReadHeaderExactTakesEveryFieldOrNone)
{
    const std::string flags = "1" + US + "0" + US + "1" + US + "0" + US + "1" + US;
    {
        // What ReadHeader reads as three empty lines and wrong flags.
        CommandHarness h;
        h.Reply("$HL1\nL2\n\nL4\nL5\n" + flags);
        std::array<ECRString, 5> lines;
        std::array<bool, 5> doubleSize{};
        h.device.ReadHeaderExact(lines, doubleSize);
        const char* expected[] = {"L1", "L2", "", "L4", "L5"};
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(Text(lines[i]), expected[i]) << "line " << i + 1;
        EXPECT_EQ(doubleSize, (std::array<bool, 5>{true, false, true, false, true}));
    }
    const std::string cutShort[] = {"L1\nL2\nL3\nL4\n", "L1\nL2\nL3\nL4\nL5\n1" + US + "0" + US + "1" + US + "0" + US,
                                    "L1\nL2\nL3\nL4\nL5\n1" + US + "0" + US + "2" + US + "0" + US + "1" + US};
    for (const std::string& data : cutShort) {
        CommandHarness h;
        h.Reply("$H" + data);
        std::array<ECRString, 5> lines = {"x", "x", "x", "x", "x"};
        std::array<bool, 5> doubleSize{};
        EXPECT_THROW(h.device.ReadHeaderExact(lines, doubleSize), CommError) << data;
        EXPECT_EQ(Text(lines[0]), "x") << "nothing read from a reply that does not hold every field";
    }
    {
        // A refusal's code is the caller's to see, not a malformed reply.
        CommandHarness h;
        h.Reply("#Zi\n57" + US);
        std::array<ECRString, 7> lines;
        std::array<bool, 7> doubleSize{};
        EXPECT_NO_THROW(h.device.ReadAdvertTextExact(lines, doubleSize));
        EXPECT_EQ(ECRProtocol::LastErrorCode(), 57);
    }
}

TEST(FiscalCommandsTest, ReadAdvertTextReadsSevenLinesAndFlags)
{
    CommandHarness h;
    h.Reply("$IA\nB\nC\nD\nE\nF\nG\n0" + US + "1" + US + "0" + US + "0" + US + "1" + US + "1" + US + "0" + US);
    std::array<ECRString, 7> lines;
    std::array<bool, 7> flags{};
    h.device.ReadAdvertText(lines, flags);
    const char* expected[] = {"A", "B", "C", "D", "E", "F", "G"};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(Text(lines[i]), expected[i]);
    }
    EXPECT_EQ(flags, (std::array<bool, 7>{false, true, false, false, true, true, false}));
    EXPECT_EQ(h.Payloads(), std::vector<std::string>{"$i"});
}

TEST(FiscalCommandsTest, ReadTotalizersKeepsTheTextsAsTheyStand)
{
    CommandHarness h;
    std::string data;
    const char* texts[] = {"100", "0", "00012", "-5", "1.5", "", "7", "8", "9", "123456789", "42", " 3", "x"};
    for (const char* t : texts) {
        data += std::string(t) + TAB;
    }
    h.Reply("$T" + data);
    std::array<ECRString, 13> totals;
    h.device.ReadTotalizers(totals);
    for (std::size_t i = 0; i < 13; ++i) {
        EXPECT_EQ(Text(totals[i]), texts[i]) << "totalizer " << i;
    }
    EXPECT_EQ(h.Payloads(), std::vector<std::string>{"$t"});
}

TEST(FiscalCommandsTest, ARegisterRefusalIsNotAnException)
{
    CommandHarness h;
    h.ReplyError("#c", 12);
    EXPECT_NO_THROW(h.device.SetClock(MakeDateTime(26, 13, 40, 25, 61)));
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 12);
}

}  // namespace
