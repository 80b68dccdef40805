// ecrd killed or stopped during a receipt and started again: the journal
// keeps every job, and what was running is settled from the register
// before anything else is sent; what was only queued is never sent.
#include "EcrdFixture.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <regex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Commands = std::vector<std::string>;

struct Killed {
    const char* label;
    const char* command;  // killed while the register holds back this command's answer
    const char* state;
    const char* outcome;
    Commands afterRestart;  // what the next start sends to settle it
    int printed;
};

void PrintTo(const Killed& c, std::ostream* os)
{
    *os << c.label;
}

class KillNineDuringAReceipt : public EcrdTest, public testing::WithParamInterface<Killed> {};

// Waits long for the lost answer, so that the kill comes while ecrd waits.
const char* const kSlowLimits =
    R"({"replyTimeoutMs": 30000, "statusTimeoutMs": 200, "pollPauseMs": 20, "quietMs": 20})";

}  // namespace

TEST_P(KillNineDuringAReceipt, IsSettledAtTheNextStartFromTheRegister)
{
    const Killed& c = GetParam();
    AddRegisters(1);
    StartEcrd(Config("", {kSlowLimits}));
    SetFaults(1, [&](SimFaults& faults) { faults.dropReplyAt = c.command; });
    const Answer pending = Receipt("sale", kTwoLines, 1, "?wait=0");
    ASSERT_EQ(pending.status, 202);
    ASSERT_TRUE(AwaitCommand(1, c.command));
    ecrd.Signal(SIGKILL);
    EXPECT_EQ(ecrd.Wait(), 128 + SIGKILL);
    hosts[0]->ClearRequests();

    StartEcrd(Config());
    const Answer settled = Send("GET", pending.location + "?wait=20000");
    EXPECT_EQ(settled.body["state"].text, c.state);
    EXPECT_EQ(settled.body["outcome"].text, c.outcome);
    EXPECT_EQ(Received(1), c.afterRestart);
    EXPECT_EQ(ReceiptsPrinted(1), c.printed);
    EXPECT_FALSE(ReceiptOpen(1));
    // The same key after the restart is still the same job.
    EXPECT_EQ(JobOf(Receipt("sale", kTwoLines)), pending.body["id"].text);
    EXPECT_EQ(Received(1), c.afterRestart);
}

INSTANTIATE_TEST_SUITE_P(Steps, KillNineDuringAReceipt,
                         testing::Values(Killed{"before_the_payment", "*l", "failed", "not printed", {"*u", "*x"}, 0},
                                         Killed{"after_the_payment", "*e", "done", "printed", {"*u", "$t"}, 1}));

TEST_F(EcrdTest, SigtermFinishesTheRunningExchangeAndQueuedJobsAreNeverSent)
{
    AddRegisters(1);
    StartEcrd(Config());
    // The receipt prints for a while: its payment's answer comes late.
    hosts[0]->WithSimulator([](ECRSimulator& sim) { sim.SetPrintMilliseconds(1500); });
    const Answer printing = Receipt("first", kTwoLines, 1, "?wait=0");
    // A till waits long for the second sale, queued behind the first.
    Answer waiting;
    std::thread till([&] {
        httplib::Client other("127.0.0.1", ecrd.Port());
        other.set_read_timeout(300, 0);
        waiting = From(other.Post("/registers/kasa1/receipts?wait=300000", {{"Idempotency-Key", "second"}}, kTwoLines,
                                  "application/json"));
    });
    ASSERT_TRUE(AwaitCommand(1, "*e"));
    while (Send("GET", "/registers/kasa1/status").body["queued"].number != 1)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ecrd.Signal(SIGTERM);
    // The waiting till is answered with its job as it stands, not left hanging.
    till.join();
    EXPECT_EQ(waiting.status, 202);
    EXPECT_EQ(waiting.body["state"].text, "queued");
    EXPECT_EQ(ecrd.Wait(), 0);
    EXPECT_EQ(ReceiptsPrinted(1), 1);
    const std::vector<std::string> before = Received(1);

    StartEcrd(Config());
    const Answer first = Send("GET", printing.location);
    EXPECT_EQ(first.body["state"].text, "done");
    EXPECT_EQ(first.body["outcome"].text, "printed");
    const Answer second = Send("GET", waiting.location);
    EXPECT_EQ(second.body["state"].text, "failed");
    EXPECT_EQ(second.body["outcome"].text, "not printed");
    EXPECT_EQ(second.body["problem"]["code"].text, "service-stopped");
    EXPECT_EQ(Received(1), before) << "the queued sale was never sent";
    EXPECT_EQ(ReceiptsPrinted(1), 1);
}

// The simulated register as its own program, losing the payment's answer
// as asked on its command line.
TEST_F(EcrdTest, EcrSimDropReplyAtLosesThePaymentsAnswerAndTheReceiptIsPrintedOnce)
{
    const std::string journal = folder.File("printed.txt");
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t sim = fork();
    if (sim == 0) {
        dup2(out[1], STDOUT_FILENO);
        execl(ECR_SIM_PROGRAM, "ecr-sim", "--drop-reply-at", "*e:1", "--journal", journal.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string path;
    char c = 0;
    pollfd poller{out[0], POLLIN, 0};
    while (poll(&poller, 1, 5000) > 0 && read(out[0], &c, 1) == 1 && c != '\n')
        path += c;
    ASSERT_FALSE(path.empty());
    std::string config = R"({"listen": "127.0.0.1:0", "stateDirectory": ")" + folder.File("state") +
                         R"(", "registers": [{"id": "kasa1", "port": ")" + path + R"(", "pollLimits": )" + kFastLimits +
                         "}]}";
    StartEcrd(config);
    const Answer sale = Receipt("sale", kTwoLines);
    EXPECT_EQ(sale.body["outcome"].text, "printed");
    EXPECT_FALSE(sale.body["settled"].text.empty());
    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);
    close(out[0]);
    std::ifstream printed(journal);
    const std::string text((std::istreambuf_iterator<char>(printed)), std::istreambuf_iterator<char>());
    const auto count = [&](const std::string& word) {
        std::size_t n = 0;
        for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("UKUPNO"), 1u) << text;
}
