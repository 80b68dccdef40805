// What a till learns of a register without a job, and a dead line found
// before it costs a sale: the status says what the register last said (its
// last refusal, whether a receipt is open, when it last answered), asks it
// when no job holds the line, and a device server that gave the line to
// another client is found and opened again before the next receipt.
#include "EcrdFixture.h"
#include "service/http/LoopbackClient.h"
#include "support/ChildProcess.h"

#include <chrono>
#include <fstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

TEST_F(EcrdTest, StatusSaysWhatTheRegisterLastSaidAndAsksItWhenTheLineIsFree)
{
    AddRegisters(1);
    StartEcrd(Config());
    const auto status = [&](const std::string& query = "") { return Send("GET", "/registers/kasa1/status" + query); };
    EXPECT_EQ(status().body["register"]["receipt"].text, "unknown") << "nothing said yet";

    hosts[0]->WithSimulator([](ECRSimulator& sim) { sim.SetPaperOut(true); });
    ASSERT_EQ(Receipt("paper", kTwoLines).status, 422);
    const Answer after = status();
    EXPECT_EQ(after.body["register"]["lastProblem"]["code"].number, 12);
    EXPECT_EQ(after.body["register"]["lastProblem"]["message"].text, "Nema papira (trake)");
    EXPECT_FALSE(after.body["register"]["lastExchange"].text.empty());

    hosts[0]->ClearRequests();
    const Answer probed = status("?probe=true");
    EXPECT_EQ(probed.body["register"]["state"].text, "ready");
    EXPECT_EQ(hosts[0]->Requests().size(), 0u) << "the status enquiry is no request";
    EXPECT_GE(probed.body["register"]["stateAt"].text, after.body["register"]["lastExchange"].text);

    // While a slow job holds the line the answer comes at once, from what was last seen.
    SetFaults(1, [](SimFaults& faults) { faults.replyDelayMs = 1500; });
    ASSERT_EQ(Send("GET", "/registers/kasa1/clock?wait=0").status, 202);
    ASSERT_TRUE(AwaitCommand(1, "$c"));
    const auto start = Clock::now();
    const Answer busy = status("?probe=true");
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_FALSE(busy.body["runningJob"].text.empty());
    EXPECT_GE(busy.body["register"]["lastExchangeAgeMs"].number, 0);
}

// ser2net lends its line to one client: a newcomer takes it from ecrd
// (kickolduser), and ecrd's connection is dead without a word.
TEST_F(EcrdTest, ALineTakenByAnotherClientIsFoundAndOpenedAgainBeforeTheNextSale)
{
    if (!ChildProcess::Available("ser2net"))
        GTEST_SKIP() << "ser2net is not installed (scripts/setup installs it)";
    AddRegisters(1);
    const int port = ChildProcess::FreePort();
    const std::string config =
        folder.Write("ser2net.yaml", "connection: &kasa\n  accepter: tcp,127.0.0.1," + std::to_string(port) +
                                         "\n  connector: serialdev," + hosts[0]->DevicePath() +
                                         ",19200n81,local\n  options:\n    kickolduser: true\n    chardelay: false\n");
    ChildProcess ser2net({"ser2net", "-d", "-n", "-c", config}, folder.File("ser2net.log"));
    ASSERT_TRUE(ChildProcess::AwaitListening(port, 5000));
    std::string ecrdConfig = Config();
    ecrdConfig.replace(ecrdConfig.find(hosts[0]->DevicePath()), hosts[0]->DevicePath().size(),
                       "tcp://127.0.0.1:" + std::to_string(port));
    StartEcrd(ecrdConfig);
    ASSERT_EQ(Receipt("first", kTwoLines).body["outcome"].text, "printed");
    {
        // Another client takes the line, and leaves.
        LoopbackClient other(port);
        ASSERT_TRUE(other.Connected());
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(3500));
    const Answer second = Receipt("second", kTwoLines);
    EXPECT_EQ(second.status, 200) << second.body["detail"].text;
    EXPECT_EQ(second.body["outcome"].text, "printed");
    const Answer state = Send("GET", "/registers/kasa1/status");
    EXPECT_EQ(state.body["link"]["state"].text, "open");
    EXPECT_GE(state.body["link"]["reopenings"].number, 1);
    EXPECT_EQ(ReceiptsPrinted(1), 2);
}
