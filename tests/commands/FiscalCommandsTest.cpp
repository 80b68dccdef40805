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

    CommandHarness full;  // the ends of the range a rate keeps to among them
    full.Reply("$V0" + TAB + "2" + TAB + "3" + TAB + "4" + TAB + "5" + TAB + "6" + TAB + "7" + TAB + "8" + TAB +
               "9999" + TAB + "10" + TAB);
    full.device.ReadTaxRates(rates);
    EXPECT_EQ(rates, (std::array<std::int32_t, 9>{0, 2, 3, 4, 5, 6, 7, 8, 9999}));
}

struct HeaderCase {
    const char* what;
    std::string data;
    std::array<const char*, 5> lines;
    std::array<bool, 5> flags;
};

// One reader for the dialogs, ecrctl and backup: every line up to its own LF.
TEST(FiscalCommandsTest, ReadHeaderTakesEveryLineUpToItsLF)
{
    const std::string flags = "1" + US + "0" + US + "1" + US + "0" + US + "1" + US;
    const HeaderCase cases[] = {
        {"all lines hold text", "L1\nL2\nL3\nL4\nL5\n" + flags, {"L1", "L2", "L3", "L4", "L5"},
         {true, false, true, false, true}},
        // The design's reader gave "L1", "L2", "", "", "" and flags off, on,
        // off, on, off here: writing that back erased lines 4 and 5.
        {"third line empty", "L1\nL2\n\nL4\nL5\n" + flags, {"L1", "L2", "", "L4", "L5"},
         {true, false, true, false, true}},
        {"first and last empty", "\nL2\nL3\nL4\n\n" + flags, {"", "L2", "L3", "L4", ""},
         {true, false, true, false, true}},
        {"all empty", "\n\n\n\n\n0" + US + "0" + US + "0" + US + "0" + US + "0" + US, {"", "", "", "", ""},
         {false, false, false, false, false}},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.what);
        CommandHarness h;
        h.Reply("$H" + c.data);
        std::array<ECRString, 5> lines = {"x", "x", "x", "x", "x"};
        std::array<bool, 5> doubleSize{};
        h.device.ReadHeader(lines, doubleSize);
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(Text(lines[i]), c.lines[i]) << "line " << i + 1;
        }
        EXPECT_EQ(doubleSize, c.flags);
        EXPECT_EQ(h.Payloads(), std::vector<std::string>{"$h"});
    }
}

// A reply that does not hold every field, or a flag other than 0 or 1, failed
// its check: nothing of it is taken for the register's text.
TEST(FiscalCommandsTest, AHeaderReplyWithoutEveryFieldFailsItsCheck)
{
    const std::string fourFlags = "1" + US + "0" + US + "1" + US + "0" + US;
    const std::string replies[] = {
        "$HL1\nL2\nL3\nL4\n",                           // a line's LF missing
        "$HL1\nL2\nL3\nL4\nL5\n" + fourFlags,          // a flag missing
        "$HL1\nL2\nL3\nL4\nL5\n" + fourFlags + "2" + US,   // a flag of 2
        "$HL1\nL2\nL3\nL4\nL5\n01" + US + fourFlags,   // a flag of 01
        "$HL1\nL2\nL3\nL4\nL5\n" + US + fourFlags,     // an empty flag
        "$H",                                           // no data at all
        "$C26" + US + "3" + US,                         // the answer to another command
    };
    for (const std::string& reply : replies) {
        SCOPED_TRACE(reply);
        CommandHarness h;
        h.Reply(reply);
        std::array<ECRString, 5> lines = {"x", "x", "x", "x", "x"};
        std::array<bool, 5> doubleSize = {true, true, true, true, true};
        try {
            h.device.ReadHeader(lines, doubleSize);
            ADD_FAILURE() << "taken for the header";
        } catch (const CommError& error) {
            EXPECT_EQ(error.code, CommError::Sync);
        }
        EXPECT_EQ(Text(lines[0]), "x") << "nothing read from a reply that failed its check";
        EXPECT_TRUE(doubleSize[0]);
    }
    {
        // A refusal's code is the caller's to see, not a malformed reply.
        CommandHarness h;
        h.Reply("#Zi\n57" + US);
        std::array<ECRString, 7> lines;
        std::array<bool, 7> doubleSize{};
        EXPECT_NO_THROW(h.device.ReadAdvertText(lines, doubleSize));
        EXPECT_EQ(h.device.LastVerdict().code, 57);
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
    // Past the int range too: a fiscal total grows for years.
    const char* texts[] = {"100", "0", "00012", "-5", "", "7", "8", "9", "123456789012345678", "42", "3", "", ""};
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

struct ReplyCheckCase {
    const char* what;
    std::function<void(ECRDevice&)> read;
    std::string reply;
};

// A value out of its range or not a number is a reply that failed its check,
// never clamped or read as 0 and shown as the register's.
TEST(FiscalCommandsTest, ValuesOutOfRangeFailTheReplysCheck)
{
    const auto rates = [](ECRDevice& d) {
        std::array<std::int32_t, 9> values{};
        d.ReadTaxRates(values);
    };
    const auto totals = [](ECRDevice& d) {
        std::array<ECRString, 13> values;
        d.ReadTotalizers(values);
    };
    const auto subtotal = [](ECRDevice& d) { d.ReadSubtotal(); };
    const ReplyCheckCase cases[] = {
        {"rate beyond the int range", rates, "$V99999999999" + TAB},
        {"rate above 99.99 %", rates, "$V2000" + TAB + "10000" + TAB},
        {"negative rate", rates, "$V-1" + TAB},
        {"a letter for a rate", rates, "$V2000" + TAB + "A" + TAB},
        {"rate with more after it", rates, "$V20x" + TAB},
        {"rate with a blank before it", rates, "$V 20" + TAB},
        {"totalizer with a decimal point", totals, "$T1.5" + TAB},
        {"totalizer of letters", totals, "$T100" + TAB + "abc" + TAB},
        {"totalizer of 19 digits", totals, "$T1234567890123456789" + TAB},
        {"subtotal beyond the int range", subtotal, "*U99999999999"},
        {"negative subtotal", subtotal, "*U-100"},
        {"subtotal of letters", subtotal, "*Ux"},
    };
    for (const ReplyCheckCase& c : cases) {
        SCOPED_TRACE(c.what);
        CommandHarness h;
        h.Reply(c.reply);
        try {
            c.read(h.device);
            ADD_FAILURE() << "taken for the register's value";
        } catch (const CommError& error) {
            EXPECT_EQ(error.code, CommError::Sync);
        }
    }
}

TEST(FiscalCommandsTest, ASubtotalUpToTheIntRangeIsTaken)
{
    CommandHarness h;
    h.Reply("*U2147483647");
    EXPECT_EQ(h.device.ReadSubtotal(), 2147483647);
    h.Reply("*U");
    EXPECT_EQ(h.device.ReadSubtotal(), 0) << "no data reads as 0, as the design reads it";
}

// A refusal's code is no value: the values stay as they were, the code is the verdict's.
TEST(FiscalCommandsTest, ARefusedReadGivesNoValueFromTheCode)
{
    CommandHarness h;
    h.ReplyError("$v", 20);
    std::array<std::int32_t, 9> rates;
    rates.fill(-1);
    h.device.ReadTaxRates(rates);
    EXPECT_EQ(rates[0], -1);

    h.ReplyError("$t", 20);
    std::array<ECRString, 13> totals;
    h.device.ReadTotalizers(totals);
    EXPECT_EQ(Text(totals[0]), "");

    h.ReplyError("*u", 20);
    EXPECT_EQ(h.device.ReadSubtotal(), 0);
    EXPECT_EQ(h.device.LastVerdict().kind, ECRVerdict::Kind::Refused);
    EXPECT_EQ(h.device.LastVerdict().code, 20);
}

TEST(FiscalCommandsTest, ARegisterRefusalIsNotAnException)
{
    CommandHarness h;
    h.ReplyError("#c", 12);
    EXPECT_NO_THROW(h.device.SetClock(MakeDateTime(26, 13, 40, 25, 61)));
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 12);
}

}  // namespace
