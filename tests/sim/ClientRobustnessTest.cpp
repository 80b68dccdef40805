#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRSleep.h"
#include "ecr/protocol/ECRStringError.h"
#include "sim/ECRSimulator.h"
#include "support/FakeSerialPort.h"
#include "support/MakeDateTime.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

// The client's device operations against a line that answers with the
// simulated register's replies, mutated, cut, buried in garbage, replaced by
// busy status bytes or by silence, all chosen by a seeded generator. Every
// operation must end, with a value or with one of the documented errors, and
// its nominal waiting (the time-outs of reads that found silence and the
// polling pauses) must stay within the engine's busy limit per request.
namespace {
constexpr std::int32_t kMaxBusyMs = 12000;
// What one request may add on top of the busy limit: the first reply time-out,
// one last status poll round and the read after it.
constexpr std::int64_t kPerRequestSlackMs = 15000;

std::int64_t g_sleptMs = 0;

void CountSleep(std::int32_t milliseconds)
{
    g_sleptMs += milliseconds;
}

// A fake port that adds up the time-outs that ran out and stops an
// operation that keeps reading without end, so that a hang fails the test
// instead of holding it.
class BoundedPort : public FakeSerialPort {
public:
    struct Endless {};
    static constexpr std::int64_t kMaxReads = 1000000;

    void StartOperation()
    {
        m_reads = 0;
        waitedMs = 0;
    }

    ECRString ReadUntil(ECRString terminator, std::int32_t timeoutMs) override
    {
        return Counted(timeoutMs, [&] { return FakeSerialPort::ReadUntil(terminator, timeoutMs); });
    }

    ECRString ReadCount(std::int32_t count, std::int32_t timeoutMs) override
    {
        return Counted(timeoutMs, [&] { return FakeSerialPort::ReadCount(count, timeoutMs); });
    }

    std::int64_t waitedMs = 0;

private:
    ECRString Counted(std::int32_t timeoutMs, const std::function<ECRString()>& read)
    {
        if (++m_reads > kMaxReads) {
            throw Endless{};
        }
        const std::int32_t silentBefore = emptyByteReads;
        ECRString result = read();
        if (emptyByteReads != silentBefore) {
            waitedMs += timeoutMs;
        }
        // The fake keeps every read; a long run needs only the count.
        reads.clear();
        timeouts.clear();
        return result;
    }

    std::int64_t m_reads = 0;
};

// The line's side: a simulated register whose answers are spoilt at random.
class SpoilingLine {
public:
    SpoilingLine(BoundedPort& port, std::uint32_t seed) : m_port(port), m_random(seed)
    {
        m_register.SetPrintMilliseconds(Int(0, 1) * 1500);
        port.onWrite = [this](const std::string& written) { Answer(written); };
    }

    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool Chance(int percent) { return Int(0, 99) < percent; }

    // How many more writes get an answer before the line falls silent for good.
    void SetAnswerBudget(int writes) { m_budget = writes; }

    std::int32_t frameWrites = 0;

private:
    void Answer(const std::string& written)
    {
        if (!written.empty() && written[0] == 0x1B) {
            ++frameWrites;
        }
        m_register.Receive(written);
        m_now += Chance(20) ? Int(0, 4) * 1000000 : Int(0, 2000);
        std::string reply = m_register.TakeOutput();
        if (m_budget <= 0) {
            return;
        }
        --m_budget;
        if (Chance(15)) {
            m_port.FeedSilence(Int(1, 3));
        }
        switch (Int(0, 9)) {
        case 0: case 1: case 2: case 3: break;   // as the register sent it
        case 4: Spoil(reply); break;
        case 5: reply.resize(static_cast<std::size_t>(Int(0, static_cast<int>(reply.size())))); break;
        case 6: reply = Garbage(Int(0, 300)); break;
        case 7: reply = Garbage(Int(1, 8)) + reply; break;
        case 8: reply = std::string(static_cast<std::size_t>(Int(1, 40)), static_cast<char>(0xC0 + Int(0, 63))); break;
        default: reply.clear(); break;           // silence
        }
        m_port.Feed(reply);
    }

    void Spoil(std::string& bytes)
    {
        for (int edits = Int(1, 3); edits > 0 && !bytes.empty(); --edits) {
            const auto at = static_cast<std::size_t>(Int(0, static_cast<int>(bytes.size()) - 1));
            const char byte = Chance(40) ? "\x1B\\\x1F\n\t\xC0\x06#Z"[Int(0, 8)] : static_cast<char>(Int(1, 255));
            switch (Int(0, 2)) {
            case 0: bytes[at] = byte; break;
            case 1: bytes.insert(at, 1, byte); break;
            default: bytes.erase(at, 1); break;
            }
        }
    }

    std::string Garbage(int length)
    {
        std::string bytes;
        for (int i = 0; i < length; ++i) {
            bytes.push_back(static_cast<char>(Chance(10) ? "\x1B\\P\xC0"[Int(0, 3)] : Int(0, 255)));
        }
        return bytes;
    }

    BoundedPort& m_port;
    std::mt19937 m_random;
    std::int64_t m_now = 0;
    ECRSimulator m_register{[this] { return m_now; }, 1773567660};
    int m_budget = 0;
};

class ClientRobustness : public ::testing::TestWithParam<std::uint32_t> {
protected:
    void SetUp() override { m_previousSleep = SetECRSleepFunction(&CountSleep); }
    void TearDown() override { SetECRSleepFunction(m_previousSleep); }

private:
    ECRSleepFunction m_previousSleep = nullptr;
};

ECRString Name(SpoilingLine& line)
{
    static const char* const kNames[] = {"Mleko", "Hleb", "Sir", "Kafa", ""};
    return kNames[line.Int(0, 4)];
}
}  // namespace

TEST_P(ClientRobustness, EveryOperationEndsWithAValueOrADocumentedError)
{
    BoundedPort port;
    port.Open();
    SpoilingLine line(port, GetParam());
    ECRDevice device(&port);
    ECREngine::PollLimits limits;
    limits.maxSilentWaits = 2;
    limits.maxBusyMilliseconds = kMaxBusyMs;
    device.Engine().SetPollLimits(limits);

    const std::array<std::int32_t, 9> rates{2000, 1000, 0, 0, 0, 0, 0, 0, 0};
    const ECRDateTime now = MakeDateTime(26, 3, 15, 9, 41);
    std::array<ECRString, 5> header;
    std::array<bool, 5> headerFlags{};
    std::array<ECRString, 7> advert;
    std::array<bool, 7> advertFlags{};
    std::array<ECRString, 13> totals;
    std::array<std::int32_t, 9> readRates{};
    std::int32_t size = 0;

    const std::vector<std::function<void()>> operations{
        [&] { device.ReadStatus(); },
        [&] { device.ReadTaxRates(readRates); },
        [&] { device.WriteTaxRates(rates, now); },
        [&] { device.ReadClock(); },
        [&] { device.SetClock(now); },
        [&] { device.ShiftClockHour(line.Int(0, 1)); },
        [&] { device.PrintDailyReport(now); },
        [&] { device.PrintPeriodicReport(now, now, line.Chance(50)); },
        [&] { device.PrintStatusReport(); },
        [&] { device.WriteIBFM("AB123456"); },
        [&] { device.Fiscalize(now, "123456789"); },
        [&] { device.WriteHeader({"A", "B", "C", "D", "E"}, headerFlags); },
        [&] { device.ReadHeader(header, headerFlags); },
        [&] { device.ReadTotalizers(totals); },
        [&] { device.DeleteAllArticles(); },
        [&] { device.DeleteArticle(Name(line)); },
        [&] {
            ECRArticle article;
            article.name = Name(line);
            article.price = line.Int(-5, 100000);
            article.taxRate = line.Int(0, 9);
            device.WriteArticle(article);
        },
        [&] { device.ReadArticle(Name(line), line.Chance(50) ? 4 : 2); },
        [&] { device.ReadAllArticles(); },
        [&] { device.BeginTransaction("1", "7"); },
        [&] { device.SellItem(Name(line), line.Int(1, 10000), line.Int(1, 5000), line.Int(0, 8), 0); },
        [&] { device.VoidItem(Name(line), line.Int(1, 10000), line.Int(1, 5000)); },
        [&] { device.ReadSubtotal(); },
        [&] { device.EndTransaction(line.Int(0, 100000), 0, 0); },
        [&] { device.CancelTransaction(); },
        [&] { device.WriteAdvertText({"1", "2", "3", "4", "5", "6", "7"}, advertFlags); },
        [&] { device.ReadAdvertText(advert, advertFlags); },
        [&] { device.ReadLogoEnabled(); },
        [&] { device.ReadAdvertEnabled(); },
        [&] { device.SetLogoEnabled(line.Chance(50)); },
        [&] { device.SetAdvertEnabled(line.Chance(50)); },
        [&] { device.PrintInfoLine("Info", line.Int(0, 5)); },
        [&] { device.EndInfoPrint(); },
        [&] { device.DisplayText(line.Chance(50) ? "Dobar dan" : "", line.Chance(50) ? "12.34" : ""); },
        [&] { device.WriteLogoRow(line.Int(0, 155), ECRString(std::string(90, 'F').c_str())); },
        [&] { device.StoreLogo(line.Int(13, 156)); },
        [&] { device.ReadMemorySize(line.Int(0, 3)); },
        [&] { device.ReadMemory(line.Int(0, 3), size); },
        [&] { device.SendRaw("$v"); },
        [&] { device.TransactNoPoll("$c"); },
    };

    const std::set<std::int32_t> documentedCodes{10, 16, 17};
    std::set<std::int32_t> seenCodes;
    int succeeded = 0;
    for (int step = 0; step < 3000; ++step) {
        const std::size_t which = static_cast<std::size_t>(line.Int(0, static_cast<int>(operations.size()) - 1));
        line.SetAnswerBudget(line.Int(0, 30));
        line.frameWrites = 0;
        port.StartOperation();
        g_sleptMs = 0;
        try {
            operations[which]();
            ++succeeded;
        } catch (const CommError& error) {
            EXPECT_EQ(documentedCodes.count(error.code), 1u) << "CommError " << error.code << ", operation " << which;
            seenCodes.insert(error.code);
        } catch (const ECRStringError& error) {
            EXPECT_EQ(error.code, 1) << "operation " << which;
        } catch (const BoundedPort::Endless&) {
            FAIL() << "operation " << which << " did not end, seed " << GetParam() << " step " << step;
        }
        const std::int64_t waited = port.waitedMs + g_sleptMs;
        EXPECT_LE(waited, (line.frameWrites + 1) * (kMaxBusyMs + kPerRequestSlackMs))
            << "operation " << which << ", seed " << GetParam() << " step " << step;
    }
    // The run went through both ends: operations that worked, time-outs and broken frames.
    EXPECT_GT(succeeded, 500);
    EXPECT_EQ(seenCodes.count(10), 1u);
    EXPECT_EQ(seenCodes.count(17), 1u);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ClientRobustness, ::testing::Values(11u, 12u, 13u, 20260315u));
