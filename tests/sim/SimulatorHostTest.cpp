#include "SimTestSupport.h"

#include "sim/SimulatorHost.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

// The simulated register on a real pseudo-terminal, reached with plain POSIX calls.
namespace {
class Client {
public:
    explicit Client(const std::string& path) : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY))
    {
        if (m_fd >= 0) {
            termios raw{};
            ::tcgetattr(m_fd, &raw);
            cfmakeraw(&raw);
            ::tcsetattr(m_fd, TCSANOW, &raw);
        }
    }
    ~Client()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool Open() const { return m_fd >= 0; }

    void Write(const std::string& bytes) const
    {
        ASSERT_EQ(::write(m_fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Reads until the frame closer or count bytes; gives up after a generous bound so a
    // broken simulator fails the test instead of hanging it.
    std::string Read(std::size_t count = 4096, bool toCloser = true) const
    {
        std::string bytes;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (bytes.size() < count && std::chrono::steady_clock::now() < giveUp) {
            pollfd fd{m_fd, POLLIN, 0};
            if (::poll(&fd, 1, 100) <= 0) {
                continue;
            }
            char byte = 0;
            if (::read(m_fd, &byte, 1) == 1) {
                bytes.push_back(byte);
                if (toCloser && bytes.size() >= 2 && byte == '\\' && bytes[bytes.size() - 2] == '\x1B') {
                    break;
                }
            }
        }
        return bytes;
    }

private:
    int m_fd;
};

const std::string kTaxRatesReply = Frame("$V2000\t1000\t0\t0\t0\t0\t0\t0\t0\t", "B7");
}  // namespace

TEST(SimulatorHost, AnswersARequestOnThePseudoTerminal)
{
    SimulatorHost host;
    std::string error;
    ASSERT_TRUE(host.Start(&error)) << error;
    EXPECT_TRUE(host.Running());
    Client client(host.DevicePath());
    ASSERT_TRUE(client.Open());
    client.Write(Frame("$v", "AD"));
    EXPECT_EQ(client.Read(), kTaxRatesReply);
    client.Write("\x05");
    EXPECT_EQ(client.Read(1, false), "\x06");
    EXPECT_EQ(host.Requests(), std::vector<std::string>{"$v"});
}

TEST(SimulatorHost, ClientMayCloseAndReopenTheDevice)
{
    SimulatorHost host;
    ASSERT_TRUE(host.Start());
    for (int round = 0; round < 3; ++round) {
        Client client(host.DevicePath());
        ASSERT_TRUE(client.Open());
        client.Write(Frame("$v", "AD"));
        EXPECT_EQ(client.Read(), kTaxRatesReply) << "round " << round;
    }
    EXPECT_EQ(host.Requests().size(), 3u);
}

TEST(SimulatorHost, FlowControlBytesPassBothWays)
{
    SimulatorHost host;
    host.WithSimulator([](ECRSimulator& simulator) {
        SimFaults faults;
        faults.garbageBeforeReply = "\x11\x13";
        simulator.SetFaults(faults);
    });
    ASSERT_TRUE(host.Start());
    Client client(host.DevicePath());
    ASSERT_TRUE(client.Open());
    // An info line holding XON and XOFF: refused, but it arrived whole.
    client.Write(Frame("#l1\x1F\x11\x13\n", "96"));
    EXPECT_EQ(client.Read(), "\x11\x13" + Frame("#Zl\n4\x1F", "CB"));
    EXPECT_EQ(host.Requests(), std::vector<std::string>{"#l1\x1F\x11\x13\n"});
}

TEST(SimulatorHost, JournalAndLinkFollowTheOptions)
{
    const std::string dir = ::testing::TempDir();
    const std::string link = dir + "/ecr-sim-test-link";
    const std::string journal = dir + "/ecr-sim-test-journal.txt";
    ::unlink(journal.c_str());
    {
        SimulatorHost::Options options;
        options.linkPath = link;
        options.journalPath = journal;
        SimulatorHost host(options);
        ASSERT_TRUE(host.Start());
        Client client(link);
        ASSERT_TRUE(client.Open());
        client.Write(Frame("#q0\x1FHalo\n", "A2"));
        EXPECT_EQ(client.Read(), Frame("#q", "AD"));
        EXPECT_NE(host.Journal().find("[displej] Halo"), std::string::npos);
    }
    struct stat info {};
    EXPECT_NE(::lstat(link.c_str(), &info), 0) << "link left behind";
    FILE* file = std::fopen(journal.c_str(), "r");
    ASSERT_NE(file, nullptr);
    char text[256] = {};
    const std::size_t read = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    EXPECT_NE(std::string(text, read).find("[displej] Halo"), std::string::npos);
}

TEST(SimulatorHost, StopJoinsAndCanBeRepeated)
{
    SimulatorHost host;
    ASSERT_TRUE(host.Start());
    const std::string path = host.DevicePath();
    host.Stop();
    EXPECT_FALSE(host.Running());
    host.Stop();
    // Once stopped, the state is still there and serving can start again on a new device.
    ASSERT_TRUE(host.Start());
    Client client(host.DevicePath());
    ASSERT_TRUE(client.Open());
    client.Write(Frame("$v", "AD"));
    EXPECT_EQ(client.Read(), kTaxRatesReply);
    EXPECT_EQ(host.Requests().size(), 1u);
}

TEST(SimulatorHost, RefusesToReplaceARealFileWithItsLink)
{
    const std::string path = ::testing::TempDir() + "/ecr-sim-test-file";
    FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    SimulatorHost::Options options;
    options.linkPath = path;
    SimulatorHost host(options);
    std::string error;
    EXPECT_FALSE(host.Start(&error));
    EXPECT_FALSE(error.empty());
    struct stat info {};
    ASSERT_EQ(::lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    ::unlink(path.c_str());
}

// A paced exchange takes its wire time: never less (no register is faster
// than its line) and not much more. On a loaded machine single exchanges run
// late, so the bound above is put on the quickest of them, loosely; the
// ratio over all of them is recorded.
TEST(SimulatorHost, PacedExchangeTakesItsWireTime)
{
    SimulatorHost::Options options;
    options.baudRate = 19200;
    SimulatorHost host(options);
    ASSERT_TRUE(host.Start());
    Client client(host.DevicePath());
    ASSERT_TRUE(client.Open());
    const std::string request = Frame("$v", "AD");
    const double wireSeconds = static_cast<double>(request.size() + kTaxRatesReply.size()) * 10 / 19200;
    constexpr int kExchanges = 10;
    using Clock = std::chrono::steady_clock;
    double total = 0;
    double quickest = 1e9;
    for (int i = 0; i < kExchanges; ++i) {
        const Clock::time_point start = Clock::now();
        client.Write(request);
        ASSERT_EQ(client.Read(), kTaxRatesReply);
        const double ratio = std::chrono::duration<double>(Clock::now() - start).count() / wireSeconds;
        EXPECT_GE(ratio, 0.995) << "exchange " << i;
        quickest = std::min(quickest, ratio);
        total += ratio;
    }
    RecordProperty("wall_to_wire", std::to_string(total / kExchanges));
    RecordProperty("quickest_wall_to_wire", std::to_string(quickest));
    EXPECT_LT(quickest, 1.5);
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    host.WithSimulator([&](ECRSimulator& simulator) {
        received = simulator.BytesReceived();
        sent = simulator.BytesSent();
    });
    EXPECT_EQ(received, kExchanges * request.size());
    EXPECT_EQ(sent, kExchanges * kTaxRatesReply.size());
}
