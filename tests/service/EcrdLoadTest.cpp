// ecrd under the clients that used to starve it, measured over loopback
// against the simulated register: a thousand connections dripping a header
// byte every two seconds and a flood of header fields leave a till's receipt
// within 50 ms of its time without them and ecrd's memory under 64 MB; a
// SIGTERM with slow clients connected ends ecrd within five seconds. Run
// alone (the figures are times).
#include "EcrdFixture.h"
#include "service/http/EdgeAttack.h"
#include "service/http/OpenFileLimit.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class EcrdLoad : public EcrdTest {
protected:
    void SetUp() override { OpenFileLimit::Raise(); }

    // The median time of a few receipts, each on a new key, in milliseconds.
    double MedianReceiptMs(const std::string& keyPrefix)
    {
        std::vector<double> times;
        for (int i = 0; i < 7; ++i) {
            const auto start = Clock::now();
            const Answer sale = Receipt(keyPrefix + std::to_string(i), kTwoLines);
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            EXPECT_EQ(sale.body["outcome"].text, "printed");
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }
};

}  // namespace

TEST_F(EcrdLoad, ATillsReceiptKeepsItsTimeWhileSlowAndFloodingClientsAttack)
{
    AddRegisters(1);
    StartEcrd(Config());
    const double quiet = MedianReceiptMs("quiet-");
    const std::size_t idle = ecrd.ResidentBytes();
    double attacked = 0;
    std::size_t most = 0;
    {
        DripClients drip(ecrd.Port(), 1000, 2s);
        HeaderFlood flood(ecrd.Port(), 100ull * 1024 * 1024);
        std::this_thread::sleep_for(1s);
        attacked = MedianReceiptMs("attacked-");
        most = std::max(most, ecrd.ResidentBytes());
        EXPECT_TRUE(flood.Finish(120s));
        most = std::max(most, ecrd.ResidentBytes());
    }
    std::printf("receipt %.1f ms alone, %.1f ms under attack; ecrd %.1f MB idle, %.1f MB at most\n", quiet, attacked,
                idle / 1048576.0, most / 1048576.0);
    EXPECT_LE(attacked, quiet + 50);
    EXPECT_LT(most, 64u * 1024 * 1024);
    EXPECT_EQ(Receipt("after", kTwoLines).body["outcome"].text, "printed");
}

TEST_F(EcrdLoad, SigtermEndsEcrdWithinFiveSecondsWithSlowClientsConnected)
{
    AddRegisters(1);
    StartEcrd(Config());
    DripClients drip(ecrd.Port(), 200, 2s);
    std::this_thread::sleep_for(500ms);
    const auto start = Clock::now();
    ecrd.Signal(SIGTERM);
    EXPECT_EQ(ecrd.Wait(), 0);
    EXPECT_LT(Clock::now() - start, 5s);
}
