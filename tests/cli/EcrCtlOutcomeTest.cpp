// What ecrctl prints and which exit code it ends with.
#include "EcrCtlFixture.h"
#include "JsonReader.h"

#include "sim/ECRSimulator.h"
#include "version/ThermalVersion.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct UsageCase {
    const char* label;
    std::vector<std::string> args;
};

void PrintTo(const UsageCase& c, std::ostream* os)
{
    *os << c.label;
}

class EcrCtlUsage : public EcrCtlFixture, public testing::WithParamInterface<UsageCase> {};

}  // namespace

TEST_P(EcrCtlUsage, RefusedBeforeAnythingIsSent)
{
    const Outcome outcome = Run(GetParam().args);
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_FALSE(outcome.err.empty());
    EXPECT_TRUE(Requests().empty());
}

INSTANTIATE_TEST_SUITE_P(
    BadCommandLines, EcrCtlUsage,
    testing::Values(UsageCase{"no_subcommand", {}}, UsageCase{"unknown_subcommand", {"bogus"}},
                    UsageCase{"no_such_month", {"clock", "set", "2026-13-01 10:00"}},
                    UsageCase{"no_such_day", {"clock", "set", "2026-02-29 10:00"}},
                    UsageCase{"time_out_of_range", {"clock", "set", "2026-02-01 24:00"}},
                    UsageCase{"clock_year_1970", {"clock", "set", "1970-01-01 00:00"}},
                    UsageCase{"clock_year_1999", {"clock", "set", "1999-12-31 23:59"}},
                    UsageCase{"clock_year_2100", {"clock", "set", "2100-01-01 00:00"}},
                    UsageCase{"shift_by_two", {"clock", "shift", "+2"}},
                    UsageCase{"too_few_rates", {"tax-rates", "set", "1", "2"}},
                    UsageCase{"period_not_a_date", {"report", "periodic", "1.1.2026", "2026-01-31"}},
                    UsageCase{"double_line_six", {"header", "set", "a", "b", "c", "d", "e", "--double", "6"}},
                    UsageCase{"delete_nothing", {"articles", "delete"}},
                    UsageCase{"delete_name_and_all", {"articles", "delete", "X", "--all"}},
                    UsageCase{"generate_backwards", {"articles", "generate", "--from", "10", "--to", "5"}},
                    UsageCase{"generate_beyond_what_a_register_holds", {"articles", "generate", "--to", "21000000"}},
                    UsageCase{"generate_from_zero_price", {"articles", "generate", "--from", "0", "--to", "5"}},
                    UsageCase{"sell_overlong_zero", {"sell", "Sok\xC0\x80XYZ", "1", "1", "0"}},
                    UsageCase{"sell_japanese", {"sell", "\xE6\x97\xA5\xE6\x9C\xAC", "1", "1", "0"}},
                    UsageCase{"sell_tab_in_name", {"sell", "Sok\tX", "1", "1", "0"}},
                    UsageCase{"header_cyrillic", {"header", "set", "a", "\xD0\x9C\xD0\xBE", "c", "d", "e"}},
                    UsageCase{"cashier_not_utf8", {"begin", "--cashier", "\xFF"}},
                    UsageCase{"raw_overlong_zero", {"raw", "$c\xC0\x80junk"}},
                    UsageCase{"tax_not_a_number", {"sell", "Sok", "1", "1", "x"}},
                    UsageCase{"raw_zero_byte", {"raw", "ab\\x00"}},
                    UsageCase{"raw_half_escape", {"raw", "ab\\x1"}},
                    UsageCase{"memory_area_five", {"memory", "dump", "5", "/tmp/x"}},
                    UsageCase{"pay_four_amounts", {"pay", "1", "2", "3", "4"}},
                    UsageCase{"baud_empty", {"status", "--baud", ""}},
                    UsageCase{"baud_empty_before", {"--baud=", "status"}},
                    UsageCase{"unknown_option_after_subcommand", {"status", "--bogus"}}),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.label); });

TEST_F(EcrCtlFixture, BadPortSettingsAreUsageErrors)
{
    EXPECT_EQ(Run({"status"}, {"--baud", "4800"}).exitCode, 2);
    EXPECT_EQ(RunExactly({"--port", "LPT1", "status"}).exitCode, 2);
}

TEST_F(EcrCtlFixture, HelpIsAvailableEverywhere)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"clock", "--help"}, {"articles", "import", "--help"}, {"logo", "upload", "--help"}}) {
        const Outcome outcome = RunExactly(args);
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_NE(outcome.out.find("Usage"), std::string::npos) << args.front();
    }
    EXPECT_TRUE(Requests().empty());
}

TEST_F(EcrCtlFixture, AClockMomentTheRegisterCannotHoldSaysWhich)
{
    const Outcome outcome = Run({"clock", "set", "1970-01-01 00:00"});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_NE(outcome.err.find("the register's clock holds the years 2000 to 2099, not 1970-01-01 00:00"),
              std::string::npos)
        << outcome.err;
    EXPECT_TRUE(Requests().empty());
}

TEST_F(EcrCtlFixture, MissingPortIsALinkFailure)
{
    const Outcome outcome = RunExactly({"--port", "/nonexistent/ttyUSB9", "--json", "status"});
    EXPECT_EQ(outcome.exitCode, 3);
    EXPECT_NE(outcome.err.find("Error opening port"), std::string::npos) << outcome.err;
    const Json json = Json::Parse(outcome.out);
    EXPECT_FALSE(json["ok"].boolean);
    EXPECT_EQ(json["exitCode"].number, 3);
}

// A link failure names the device behind a COM port and the system's reason,
// and points at doctor; the design's text stays beside them.
TEST_F(EcrCtlFixture, APortThatDoesNotOpenSaysWhereItLeadsAndWhy)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string held = host.DevicePath();
    const int fd = ::open(held.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0) << "another program holds the line";
    ::setenv("ECR_COM7", "/nonexistent/ttyUSB9", 1);
    const Case cases[] = {
        {{"--port", "/nonexistent/ttyUSB9", "status"},
         "cannot open /nonexistent/ttyUSB9: no such device (Error opening port); `ecrctl doctor --port "
         "/nonexistent/ttyUSB9` looks for what is wrong with the line"},
        {{"--port", "COM7", "status"}, "cannot open COM7 (/nonexistent/ttyUSB9): no such device"},
        {{"--port", "/dev/null", "clock"}, "cannot open /dev/null: not a serial line (Error reading port settings)"},
        {{"--port", held, "clock"}, "cannot open " + held + ": in use by another program (Error opening port)"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = RunExactly(c.args);
        EXPECT_EQ(outcome.exitCode, 3) << c.message;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    }
    ::unsetenv("ECR_COM7");
    ::close(fd);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(EcrCtlFixture, SilentRegisterIsALinkFailure)
{
    host.WithSimulator([](ECRSimulator& sim) {
        SimFaults faults;
        faults.silentToEnq = true;
        sim.SetFaults(faults);
    });
    const Outcome outcome = Run({"clock"});
    EXPECT_EQ(outcome.exitCode, 3);
    EXPECT_NE(outcome.err.find("does not answer"), std::string::npos) << outcome.err;
    EXPECT_TRUE(Requests().empty()) << "nothing is sent without a log-on";
}

TEST_F(EcrCtlFixture, AnswerForAnotherCommandIsALinkFailureNotEmptyValues)
{
    host.WithSimulator([](ECRSimulator& sim) {
        SimFaults faults;
        faults.wrongLetterEvery = 1;
        sim.SetFaults(faults);
    });
    const Outcome outcome = Run({"tax-rates"}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 3);
    EXPECT_NE(outcome.err.find("Sync Error!"), std::string::npos) << outcome.err;
    EXPECT_FALSE(Json::Parse(outcome.out)["ok"].boolean);
}

TEST_F(EcrCtlFixture, PaymentAnsweredForAnotherCommandIsALinkFailureNotARefusal)
{
    ASSERT_EQ(Run({"sell", "Sok", "10", "1", "2"}).exitCode, 0);
    host.WithSimulator([](ECRSimulator& sim) {
        SimFaults faults;
        faults.wrongLetterEvery = 1;
        sim.SetFaults(faults);
    });
    const Outcome outcome = Run({"pay", "10"}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 3) << outcome.err;
    EXPECT_NE(outcome.err.find("Sync Error!"), std::string::npos) << outcome.err;
    const Json doc = Json::Parse(outcome.out);
    EXPECT_FALSE(doc["ok"].boolean);
    EXPECT_FALSE(doc.Has("deviceCode")) << "no register code was received";
}

TEST_F(EcrCtlFixture, RefusalPrintsTheRegistersMessageAndCode)
{
    host.WithSimulator([](ECRSimulator& sim) { sim.SetPaperOut(true); });
    const Outcome text = Run({"report", "snapshot"});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_NE(text.err.find("(code 12)"), std::string::npos) << text.err;

    const Outcome json = Run({"report", "daily", "--count", "5"}, {"--json"});
    EXPECT_EQ(json.exitCode, 1);
    const Json doc = Json::Parse(json.out);
    EXPECT_FALSE(doc["ok"].boolean);
    EXPECT_EQ(doc["exitCode"].number, 1);
    EXPECT_EQ(doc["deviceCode"].number, 12);
    EXPECT_FALSE(doc["error"].text.empty());
    // The series stops at the first refused report.
    const auto requests = Requests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "$c"), 1);
}

TEST_F(EcrCtlFixture, ReadingsAsTextAndAsJson)
{
    // The register starts with A 20 % and G 10 %.
    const Outcome text = Run({"tax-rates"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out.substr(0, 18), "A\t20.00\nG\t10.00\nD\t");

    const Outcome json = Run({"tax-rates"}, {"--json"});
    const Json rates = Json::Parse(json.out);
    EXPECT_TRUE(rates["ok"].boolean);
    EXPECT_EQ(rates["taxRates"]["A"].text, "20.00");
    EXPECT_EQ(rates["taxRates"]["Dj"].text, "0.00");
    EXPECT_EQ(rates["taxRates"].members.size(), 9U);

    const Json totals = Json::Parse(Run({"totalizers"}, {"--json"}).out);
    EXPECT_EQ(totals["totalizers"].members.size(), 13U);
    EXPECT_TRUE(totals["totalizers"].Has("nonFiscalToday"));

    const Json status = Json::Parse(Run({"status"}, {"--json"}).out);
    EXPECT_EQ(status["status"].number, 6);
    EXPECT_EQ(status["meaning"].text, "ready");
    EXPECT_EQ(Run({"status"}).out, "0x06 ready\n");
}

// Every amount in one form: decimals, as prices and rates already were.
TEST_F(EcrCtlFixture, TotalizersPrintAmountsAsEveryAmountIs)
{
    ASSERT_EQ(Run({"sell", "Sok", "12.50", "2", "1"}).exitCode, 0);
    ASSERT_EQ(Run({"pay", "25"}).exitCode, 0);
    const Json doc = Json::Parse(Run({"totalizers"}, {"--json"}).out);
    EXPECT_EQ(doc["totalizers"]["G"].text, "25.00");
    EXPECT_EQ(doc["totalizers"]["nonFiscalToday"].text, "25.00");
    EXPECT_EQ(doc["totalizers"]["fiscalTotal"].text, "0.00");
    const Outcome text = Run({"totalizers"});
    EXPECT_NE(text.out.find("G\t25.00\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("non-fiscal today\t25.00\n"), std::string::npos) << text.out;
}

// The global options read the same after the subcommand, as scripts write them.
TEST_F(EcrCtlFixture, GlobalOptionsMayFollowTheSubcommand)
{
    const Outcome status = RunExactly({"status", "--port", host.DevicePath(), "--json"});
    ASSERT_EQ(status.exitCode, 0) << status.err;
    EXPECT_EQ(Json::Parse(status.out)["status"].number, 6);

    const Outcome set = RunExactly({"clock", "set", "2027-11-05 07:08", "--port", host.DevicePath(), "--trace"});
    EXPECT_EQ(set.exitCode, 0) << set.err;
    EXPECT_NE(set.err.find("message: "), std::string::npos) << "--trace after a nested subcommand";
}

// With --json, standard output is one JSON document whatever happens.
TEST_F(EcrCtlFixture, JsonIsTheOneDocumentOnStandardOutput)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"bogus", "--json"}, {"clock", "set", "someday", "--json"}, {"--json", "--help"},
             {"clock", "--help", "--json"}, {"--version", "--json"}}) {
        const Outcome outcome = RunExactly(args);
        const Json doc = Json::Parse(outcome.out);
        EXPECT_EQ(doc["exitCode"].number, outcome.exitCode) << outcome.out;
    }
    EXPECT_EQ(Json::Parse(RunExactly({"--json", "bogus"}).out)["exitCode"].number, 2);
    EXPECT_NE(Json::Parse(RunExactly({"clock", "--help", "--json"}).out)["help"].text.find("clock"),
              std::string::npos);
    EXPECT_EQ(RunExactly({"info-print", "--", "--json"}).out.find('{'), std::string::npos)
        << "a text after -- is no option";

    // The simulated register's journal goes to standard error then.
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const Outcome sim = RunExactly({"--port", "sim", "--journal", "-", "--json", "report", "snapshot"});
    const std::string realOut = testing::internal::GetCapturedStdout();
    const std::string realErr = testing::internal::GetCapturedStderr();
    EXPECT_EQ(sim.exitCode, 0) << sim.err;
    EXPECT_TRUE(Json::Parse(sim.out)["ok"].boolean);
    EXPECT_EQ(realOut, "");
    EXPECT_FALSE(realErr.empty()) << "the journal";
}

TEST_F(EcrCtlFixture, VersionIsTheProjectsOne)
{
    const Outcome text = RunExactly({"--version"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out, ThermalVersion::Line("ecrctl") + "\n");
    EXPECT_EQ(text.out.rfind(std::string("ecrctl ") + ThermalVersion::Number(), 0), 0U) << text.out;
    const Json doc = Json::Parse(RunExactly({"status", "--version", "--json"}).out);
    EXPECT_EQ(doc["version"].text, ThermalVersion::Number());
    EXPECT_EQ(doc["build"].text, ThermalVersion::Build());
    EXPECT_TRUE(Requests().empty());
}

TEST_F(EcrCtlFixture, ClockRoundTripsThroughTheRegister)
{
    ASSERT_EQ(Run({"clock", "set", "2027-11-05 07:08"}).exitCode, 0);
    const Outcome text = Run({"clock"});
    EXPECT_EQ(text.out.substr(0, 14), "2027-11-05 07:") << text.out;
}

TEST_F(EcrCtlFixture, HeaderTextComesBackInUtf8)
{
    ASSERT_EQ(Run({"header", "set", "\xC5\xA0" "ABAC", "b", "c", "d", "e"}).exitCode, 0);
    const Json doc = Json::Parse(Run({"header"}, {"--json"}).out);
    ASSERT_EQ(doc["lines"].items.size(), 5U);
    EXPECT_EQ(doc["lines"].items[0]["text"].text, "\xC5\xA0" "ABAC");
    EXPECT_EQ(doc["lines"].items[4]["text"].text, "e");
}

TEST_F(EcrCtlFixture, TextRefusalsNameTheArgumentAndTheCharacter)
{
    const Outcome sell = Run({"sell", "\xE6\x97\xA5\xE6\x9C\xAC", "1", "1", "0"});
    EXPECT_NE(sell.err.find("NAME: '\xE6\x97\xA5' (U+65E5) at character 1 has no Windows-1250 form"),
              std::string::npos)
        << sell.err;
    const Outcome header = Run({"header", "set", "a", "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", "c", "d", "e"});
    EXPECT_NE(header.err.find("LINES: line 2: '\xD0\x9C' (U+041C) at character 1 has no Windows-1250 form"),
              std::string::npos)
        << header.err;
    EXPECT_TRUE(Requests().empty());
}

TEST_F(EcrCtlFixture, TraceShowsTrafficInMonitorFormAndMessages)
{
    const Outcome outcome = Run({"clock"}, {"--trace"});
    ASSERT_EQ(outcome.exitCode, 0);
    EXPECT_NE(outcome.err.find("24-63-\n $  c \n"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("06-\n . \n"), std::string::npos) << "the log-on's status byte";
    EXPECT_NE(outcome.err.find("message: Operacija je uspesna"), std::string::npos);
    EXPECT_EQ(outcome.out.find("24-63-"), std::string::npos) << "the trace stays off standard output";
}

TEST_F(EcrCtlFixture, SimulatorInsideTheRunKeepsItsJournal)
{
    const std::string journal = testing::TempDir() + "ecrctl-journal.txt";
    std::remove(journal.c_str());
    const Outcome outcome = RunExactly({"--port", "sim", "--journal", journal, "report", "snapshot"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    std::ifstream file(journal);
    const std::string printed((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(printed.empty());
    std::remove(journal.c_str());
}

TEST_F(EcrCtlFixture, BaudPacesTheSimulatorInsideTheRun)
{
    // Log-on (ENQ and its answer) and "$v" with its 32-byte reply: 42 bytes,
    // 43.75 ms on a 9600-baud line. Unpaced, the run takes a few milliseconds.
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = RunExactly({"--port", "sim", "--baud", "9600", "tax-rates"});
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_GE(elapsed, std::chrono::microseconds(43750));
}
