// The requests each subcommand makes, written by hand from the command tables,
// checked at the simulated register's end of the line.
#include "EcrCtlFixture.h"

#include "ecr/protocol/ECRSleep.h"

#include <algorithm>

namespace {

struct RequestCase {
    const char* label;
    std::vector<std::string> args;
    std::vector<std::string> requests;  // payloads as the register receives them, in order
    int exitCode;
};

void PrintTo(const RequestCase& c, std::ostream* os)
{
    *os << c.label;
}

class EcrCtlRequests : public EcrCtlFixture, public testing::WithParamInterface<RequestCase> {};

}  // namespace

TEST_P(EcrCtlRequests, SendsExactlyTheseRequests)
{
    const RequestCase& c = GetParam();
    const Outcome outcome = Run(c.args);
    EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.err;
    EXPECT_EQ(Requests(), c.requests);
}

INSTANTIATE_TEST_SUITE_P(
    Subcommands, EcrCtlRequests,
    testing::Values(
        RequestCase{"status_sends_no_frame", {"status"}, {}, 0},
        RequestCase{"clock_set", {"clock", "set", "2026-03-15 09:41"}, {"#c26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F"}, 0},
        RequestCase{"clock_first_moment", {"clock", "set", "2000-01-01 00:00"}, {"#c0\x1F" "1\x1F" "1\x1F" "0\x1F" "0\x1F"}, 0},
        RequestCase{"clock_last_moment", {"clock", "set", "2099-12-31T23:59"}, {"#c99\x1F" "12\x1F" "31\x1F" "23\x1F" "59\x1F"}, 0},
        RequestCase{"clock_forward", {"clock", "shift", "+1"}, {"#t1\x1F"}, 0},
        RequestCase{"clock_back", {"clock", "shift", "-1"}, {"#t0\x1F"}, 0},
        RequestCase{"periodic_non_fiscal_of_an_empty_period",
                    {"report", "periodic", "2026-01-01", "2026-01-31", "--non-fiscal"},
                    {"#o0\x1F" "26\x1F" "1\x1F" "1\x1F" "26\x1F" "1\x1F" "31\x1F"},
                    1},
        RequestCase{"snapshot", {"report", "snapshot"}, {"#w"}, 0},
        RequestCase{"header_set",
                    {"header", "set", "A", "", "C", "", "E", "--double", "1,3"},
                    {"#hA\n\nC\n\nE\n1\x1F" "0\x1F" "1\x1F" "0\x1F" "0\x1F"},
                    0},
        RequestCase{"ibfm_in_windows_1250", {"ibfm", "\xC4\x8C" "a\xC4\x8D" "ak"}, {"#u\xC8" "a\xE8" "ak\n"}, 0},
        RequestCase{"sell_opens_the_receipt_first",
                    {"sell", "Sok", "12,5", "0.75", "2", "2", "--register", "1", "--cashier", "7"},
                    {"*t1\n7\n", "*lSok\n1250\t750\t2\x1F" "2\x1F"},
                    0},
        RequestCase{"sell_default_unit", {"sell", "Hleb", "45", "1", "1"}, {"*t\n\n", "*lHleb\n4500\t1000\t1\x1F" "0\x1F"}, 0},
        RequestCase{"begin", {"begin", "--register", "2", "--cashier", "Ana"}, {"*t2\nAna\n"}, 0},
        RequestCase{"void_without_receipt_is_refused", {"void", "Sok", "12.34", "2.5"}, {"*sSok\n1234\t2500\t"}, 1},
        RequestCase{"pay_without_receipt_is_refused", {"pay", "20"}, {"*e2000\t0\t0\t"}, 1},
        RequestCase{"display_two_lines", {"display", "", "Dobar dan"}, {"#q0\x1F\n", "#q1\x1F" "Dobar dan\n"}, 0},
        RequestCase{"display_clear", {"display"}, {"#q2\x1F"}, 0},
        RequestCase{"info_line", {"info-print", "Tekst", "--number", "3"}, {"#l3\x1FTekst\n"}, 0},
        RequestCase{"info_end", {"info-print", "end"}, {"#e"}, 0},
        RequestCase{"info_text_end", {"info-print", "--", "end"}, {"#l0\x1F" "end\n"}, 0},
        RequestCase{"advert_on", {"advert", "on"}, {"#y2\x1F" "1\x1F"}, 0},
        RequestCase{"logo_off", {"logo", "off"}, {"#y1\x1F" "0\x1F"}, 0},
        RequestCase{"logo_status", {"logo", "status"}, {"$y1\x1F"}, 0},
        RequestCase{"delete_all", {"articles", "delete", "--all"}, {"%a"}, 0},
        RequestCase{"delete_unknown_is_refused", {"articles", "delete", "Nema"}, {"#dNema\n"}, 1},
        RequestCase{"raw_with_escapes", {"raw", "$y1\\x1F"}, {"$y1\x1F"}, 0}),
    [](const testing::TestParamInfo<RequestCase>& info) { return std::string(info.param.label); });

TEST_F(EcrCtlFixture, TaxRatesAreWrittenWithTheRegistersOwnTime)
{
    const Outcome outcome = Run({"tax-rates", "set", "20", "10", "8,5", "0.05", "0", "0", "0", "0", "abc"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const auto requests = Requests();
    ASSERT_EQ(requests.size(), 2U);
    EXPECT_EQ(requests[0], "$c");
    // The "#v" request carries the five clock fields the register just gave, then the rates.
    const std::string rates = "2000\t1000\t850\t5\t0\t0\t0\t0\t0\t";
    ASSERT_GT(requests[1].size(), rates.size());
    EXPECT_EQ(requests[1].substr(0, 2), "#v");
    EXPECT_EQ(requests[1].substr(requests[1].size() - rates.size()), rates);
    EXPECT_EQ(std::count(requests[1].begin(), requests[1].end(), '\x1F'), 5);
}

TEST_F(EcrCtlFixture, FiscalizeReadsTheClockFirst)
{
    const Outcome outcome = Run({"fiscalize", "123456789"});
    const auto requests = Requests();
    ASSERT_EQ(requests.size(), 2U) << outcome.err;
    EXPECT_EQ(requests[0], "$c");
    EXPECT_EQ(requests[1].substr(0, 2), "#k");
    EXPECT_EQ(requests[1].substr(requests[1].size() - 10), "123456789\n");
}

namespace {

std::vector<std::int32_t> g_sleeps;

void RecordSleep(std::int32_t milliseconds)
{
    g_sleeps.push_back(milliseconds);
}

}  // namespace

TEST_F(EcrCtlFixture, DailyReportSeriesPausesBetweenReports)
{
    g_sleeps.clear();
    const ECRSleepFunction previous = SetECRSleepFunction(&RecordSleep);
    const Outcome outcome = Run({"report", "daily", "--count", "3"});
    SetECRSleepFunction(previous);

    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const auto requests = Requests();
    ASSERT_EQ(requests.size(), 6U);
    for (std::size_t i = 0; i < requests.size(); i += 2) {
        EXPECT_EQ(requests[i], "$c");
        EXPECT_EQ(requests[i + 1].substr(0, 2), "#z");
        EXPECT_EQ(std::count(requests[i + 1].begin(), requests[i + 1].end(), '\x1F'), 5);
    }
    EXPECT_EQ(std::count(g_sleeps.begin(), g_sleeps.end(), 500), 2);
}
