// The command line's habits: a mistyped subcommand named with the nearest
// ones, "help [SUBCOMMAND...]", the subcommands listed by task, the unit
// range the register takes, and ECRCTL_PORT as --port's default.
#include "EcrCtlFixture.h"
#include "JsonReader.h"

#include <cstdlib>
#include <regex>

namespace {

struct MistypedCase {
    std::vector<std::string> args;
    const char* message;
};

// The subcommands under their titles, as --help lists them: "Sales: begin sell ...".
std::vector<std::string> TaskLines(const std::string& help)
{
    std::vector<std::string> tasks;
    std::istringstream lines(help.substr(help.find("Options:")));
    std::string line;
    bool options = true;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == ':' && line[0] != ' ') {
            options = line == "Options:";
            if (!options)
                tasks.push_back(line);
        } else if (!options && line.rfind("  ", 0) == 0 && line[2] != ' ') {
            tasks.back() += " " + line.substr(2, line.find(' ', 2) - 2);
        }
    }
    return tasks;
}

}  // namespace

TEST(EcrCtlHelp, AMistypedSubcommandIsNamedWithTheNearest)
{
    const MistypedCase cases[] = {
        {{"stauts"}, "'stauts' is not an ecrctl command; did you mean 'status'?"},
        {{"--port", "sim", "--baud", "9600", "totalisers"},
         "'totalisers' is not an ecrctl command; did you mean 'totalizers'?"},
        {{"re", "--json"}, "'re' is not an ecrctl command; did you mean 'report' or 'restore'?"},
        {{"articles", "lsit"}, "'lsit' is not an ecrctl articles command; did you mean 'list'?"},
        {{"xyzzy"}, "'xyzzy' is not an ecrctl command; see 'ecrctl --help'"},
        {{"help", "clokc"}, "'clokc' is not an ecrctl command; did you mean 'clock'?"},
        {{"--trace", "decoded", "clock"},
         "'decoded' is not an ecrctl command; a value of --trace is given as --trace=decoded"},
    };
    for (const MistypedCase& c : cases) {
        const EcrCtlOutcome outcome = RunEcrCtl(c.args);
        EXPECT_EQ(outcome.exitCode, 2) << c.message;
        const bool json = std::find(c.args.begin(), c.args.end(), "--json") != c.args.end();
        EXPECT_EQ(outcome.err, std::string(c.message) + "\n");
        if (json)
            EXPECT_EQ(Json::Parse(outcome.out)["error"].text, c.message);
        else
            EXPECT_EQ(outcome.out, "");
    }
    // Where a subcommand takes words of its own, a word is one of them.
    EXPECT_EQ(RunEcrCtl({"--port", "sim", "info-print", "stauts"}).exitCode, 0);
}

TEST(EcrCtlHelp, HelpShowsWhatDashDashHelpShows)
{
    for (const std::vector<std::string>& path :
         std::vector<std::vector<std::string>>{{}, {"clock"}, {"articles", "import"}}) {
        std::vector<std::string> help{"help"};
        help.insert(help.end(), path.begin(), path.end());
        std::vector<std::string> dashDash = path;
        dashDash.push_back("--help");
        const EcrCtlOutcome asked = RunEcrCtl(help);
        EXPECT_EQ(asked.exitCode, 0) << asked.err;
        EXPECT_EQ(asked.out, RunEcrCtl(dashDash).out);
        EXPECT_NE(asked.out.find("Usage: ecrctl"), std::string::npos);
    }
}

TEST(EcrCtlHelp, SubcommandsAreListedByTask)
{
    const EcrCtlOutcome help = RunEcrCtl({"--help"});
    EXPECT_EQ(TaskLines(help.out), (std::vector<std::string>{
                                       "Register setup: clock tax-rates header ibfm fiscalize",
                                       "Reports: report totalizers",
                                       "Articles: articles",
                                       "Sales: begin sell void subtotal pay cancel",
                                       "Pictures and texts: advert logo display info-print",
                                       "Whole jobs: backup diff restore batch",
                                       "Diagnostics: status memory raw decode ports doctor help",
                                   }));
    // A flag that may take a value says which.
    EXPECT_NE(help.out.find("\n  --trace[=hex|decoded]   "), std::string::npos) << help.out;
}

// The units a sale line or an import file may give are the ones the register
// takes: the highest one the help names is sold, the next refused.
TEST_F(EcrCtlFixture, TheHelpGivesTheUnitsTheRegisterTakes)
{
    std::smatch range;
    const std::string sell = RunExactly({"sell", "--help"}).out;
    ASSERT_TRUE(std::regex_search(sell, range, std::regex("unit index 0\\.\\.(\\d+)"))) << sell;
    const int highest = std::stoi(range[1]);
    EXPECT_NE(RunExactly({"articles", "import", "--help"}).out.find("unit 0.." + range[1].str()), std::string::npos);

    const Outcome beyond = Run({"sell", "Sok", "1", "1", "0", std::to_string(highest + 1)});
    EXPECT_EQ(beyond.exitCode, 1);
    EXPECT_NE(beyond.err.find("(code 115)"), std::string::npos) << beyond.err;
    ASSERT_EQ(Run({"cancel"}).exitCode, 0);
    const Outcome sold = Run({"sell", "Sok", "1", "1", "0", std::to_string(highest)});
    EXPECT_EQ(sold.exitCode, 0) << sold.err;
}

TEST_F(EcrCtlFixture, EcrCtlPortIsTheDefaultPort)
{
    ::setenv("ECRCTL_PORT", host.DevicePath().c_str(), 1);
    EXPECT_EQ(RunExactly({"status"}).out, "0x06 ready\n");
    EXPECT_NE(RunExactly({"--help"}).out.find("--port TEXT=" + host.DevicePath()), std::string::npos);
    const Outcome given = RunExactly({"--port", "/nonexistent/ttyUSB9", "status"});
    EXPECT_NE(given.err.find("cannot open /nonexistent/ttyUSB9"), std::string::npos) << "--port still wins";

    ::setenv("ECRCTL_PORT", "LPT1", 1);
    const Outcome bad = RunExactly({"status"});
    ::unsetenv("ECRCTL_PORT");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("ECRCTL_PORT takes a COM port"), std::string::npos) << bad.err;
    EXPECT_NE(RunExactly({"--help"}).out.find("--port TEXT=COM1"), std::string::npos);
}
