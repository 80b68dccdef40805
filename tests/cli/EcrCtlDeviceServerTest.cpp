// ecrctl through real serial device servers in front of the simulated
// register: ser2net (raw TCP and RFC 2217, a pseudo-terminal behind it) and
// the RFC 2217 server example of Debian's python3-serial (the simulated
// register listening on TCP behind it). scripts/setup installs both.
#include "EcrCtlFixture.h"

#include "articles/TempFolder.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRClock.h"
#include "serial/NetworkPort.h"
#include "support/ChildProcess.h"
#include "support/TcpPeer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <memory>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

const char* const kPyserialServer = "/usr/share/doc/python3-serial/examples/rfc2217_server.py";

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The line speed the pseudo-terminal was last set to, as stty reads it.
speed_t LineSpeed(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios mode{};
    const bool read = fd >= 0 && ::tcgetattr(fd, &mode) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return read ? cfgetospeed(&mode) : B0;
}

class DeviceServerTest : public EcrCtlFixture {
protected:
    void SetUp() override
    {
        if (!ChildProcess::Available("ser2net")) {
            GTEST_SKIP() << "ser2net is not installed (scripts/setup installs it)";
        }
        EcrCtlFixture::SetUp();
        ASSERT_TRUE(telnetHost.Start());
        // What the register's memory holds, read on its own line before
        // ser2net starts: it opens its devices for a moment as it starts,
        // and two readers on one line split an answer between them.
        std::int64_t ms = 0;
        const Outcome read = RunOn(host.DevicePath(), {"memory", "dump", "fiscal", folder.File("direct.bin")}, ms);
        ASSERT_EQ(read.exitCode, 0) << read.err;
        rawPort = ChildProcess::FreePort();
        telnetPort = ChildProcess::FreePort();
        // A register for each: ser2net lends a device to one connection at a time.
        const auto connection = [](const std::string& name, const std::string& accepter, const std::string& device) {
            return "connection: &" + name + "\n  accepter: " + accepter + "\n  connector: serialdev," + device +
                   ",19200n81,local\n  options:\n    kickolduser: true\n";
        };
        const std::string config = folder.Write(
            "ser2net.yaml",
            connection("raw", "tcp,127.0.0.1," + std::to_string(rawPort), host.DevicePath()) +
                connection("rfc2217", "telnet(rfc2217),tcp,127.0.0.1," + std::to_string(telnetPort),
                           telnetHost.DevicePath()));
        ser2net = std::make_unique<ChildProcess>(std::vector<std::string>{"ser2net", "-d", "-n", "-c", config},
                                                 folder.File("ser2net.log"));
        ASSERT_TRUE(ChildProcess::AwaitListening(rawPort, 5000)) << ReadFile(folder.File("ser2net.log"));
        ASSERT_TRUE(ChildProcess::AwaitListening(telnetPort, 5000));
    }

    std::string Raw() const { return "tcp://127.0.0.1:" + std::to_string(rawPort); }
    std::string Rfc2217() const { return "rfc2217://127.0.0.1:" + std::to_string(telnetPort); }

    // ecrctl --port PORT args..., with the time it took.
    Outcome RunOn(const std::string& port, std::vector<std::string> args, std::int64_t& tookMs)
    {
        std::vector<std::string> all{"--port", port};
        all.insert(all.end(), args.begin(), args.end());
        const std::int64_t startMs = ECRClockMs();
        Outcome outcome = RunExactly(all);
        tookMs = ECRClockMs() - startMs;
        return outcome;
    }

    SimulatorHost telnetHost;
    TempFolder folder;
    int rawPort = 0;
    int telnetPort = 0;
    std::unique_ptr<ChildProcess> ser2net;
};

TEST_F(DeviceServerTest, EveryServerCarriesAWholeJob)
{
    const std::string import = folder.Write("plu.txt", "Sok,12.50,2,1\r\nHleb,45,1,0\r\nMleko,99.99,2,4\r\n");
    std::int64_t ms = 0;
    // What each register's memory holds, read on its own line.
    const std::string direct = folder.File("direct.bin");

    // The Python server takes a new client only seconds after the last one
    // left: one batch a server, over one connection.
    SimulatorHost::Options listening;
    listening.listen = "127.0.0.1:0";
    SimulatorHost behindPython(listening);
    ASSERT_TRUE(behindPython.Start());
    const int pythonPort = ChildProcess::FreePort();
    std::unique_ptr<ChildProcess> python;
    if (ChildProcess::Available("/usr/bin/python3") && ChildProcess::Available(kPyserialServer)) {
        python = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/python3", kPyserialServer, "-p", std::to_string(pythonPort),
                                     "socket://" + behindPython.ListenAddress()},
            folder.File("python.log"));
        ASSERT_TRUE(ChildProcess::AwaitText(folder.File("python.log"), "TCP/IP port", 5000));
    }
    std::vector<std::pair<std::string, std::string>> servers{{"ser2net raw", Raw()}, {"ser2net RFC 2217", Rfc2217()}};
    if (python) {
        servers.push_back({"python3-serial RFC 2217", "rfc2217://127.0.0.1:" + std::to_string(pythonPort)});
    } else {
        ADD_FAILURE() << "python3-serial's RFC 2217 server is not installed (scripts/setup installs it)";
    }
    for (std::size_t i = 0; i < servers.size(); ++i) {
        SCOPED_TRACE(servers[i].first);
        const std::string n = std::to_string(i);
        const std::string batch = folder.Write("job" + n + ".txt", "status\narticles delete --all\narticles import " +
                                                                      import + "\narticles list --out " +
                                                                      folder.File("list" + n + ".txt") +
                                                                      "\nmemory dump fiscal " +
                                                                      folder.File("dump" + n + ".bin") + "\n");
        const Outcome job = RunOn(servers[i].second, {"batch", batch}, ms);
        EXPECT_EQ(job.exitCode, 0) << job.err;
        EXPECT_EQ(ReadFile(folder.File("list" + n + ".txt")),
                  "Sok,1250,0,2,1\r\nHleb,4500,0,1,0\r\nMleko,9999,0,2,4\r\n");
        // Every simulated register's fiscal memory starts out the same.
        EXPECT_EQ(ReadFile(folder.File("dump" + n + ".bin")), ReadFile(direct));
    }
}

TEST_F(DeviceServerTest, ASpeedSetOverRfc2217ReachesTheLine)
{
    for (const int baud : {9600, 19200}) {
        NetworkPort port(SerialSettings(0, baud, 8, 0, 0, 0, 0), "127.0.0.1", telnetPort,
                         NetworkPort::Protocol::Rfc2217);
        // ser2net takes the next client a moment after the last one left.
        for (int tries = 0;; ++tries) {
            try {
                port.Open();
                break;
            } catch (const CommError&) {
                ASSERT_LT(tries, 20) << port.Problem();
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        EXPECT_TRUE(port.AwaitLineAcknowledged(2000));
        EXPECT_EQ(LineSpeed(telnetHost.DevicePath()), baud == 9600 ? B9600 : B19200);
    }
}

// Each fault ends in a link failure (exit 3) with a message that says why,
// in bounded time; an output file is left as it was.
TEST_F(DeviceServerTest, FaultsEndAsLinkFailuresInBoundedTime)
{
    const std::string out = folder.Write("kept.bin", "earlier contents");
    host.WithSimulator([](ECRSimulator& sim) {
        SimFaults faults;
        faults.baudRate = 9600;  // a 4 KiB dump takes seconds: time to kill the server in it
        sim.SetFaults(faults);
    });
    std::int64_t ms = 0;
    std::thread killer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        ser2net->Kill();
    });
    const Outcome killed = RunOn(Raw(), {"memory", "dump", "fiscal", out}, ms);
    killer.join();
    EXPECT_EQ(killed.exitCode, 3) << killed.err;
    EXPECT_NE(killed.err.find("closed by the server"), std::string::npos) << killed.err;
    EXPECT_LT(ms, 5000);
    EXPECT_EQ(ReadFile(out), "earlier contents");
    std::printf("server killed mid-reply: exit %d in %lld ms\n", killed.exitCode, static_cast<long long>(ms));

    TcpPeer silent;  // accepts, and never says a word
    TcpPeer silentTelnet;
    struct Case {
        const char* what;
        std::string port;
        const char* says;
        std::int64_t boundMs;
    };
    const Case cases[] = {
        {"connection refused", Raw(), "Connection refused", 1000},
        {"a name that does not resolve", "tcp://no-such-host.invalid:2000", "cannot resolve", 5000},
        {"a server that accepts and never answers", "tcp://127.0.0.1:" + std::to_string(silent.Port()),
         "does not answer", 3000},
        // The Telnet negotiation is waited for (NetworkPort::kNegotiationMs), then the enquiry.
        {"an RFC 2217 server that accepts and never answers",
         "rfc2217://127.0.0.1:" + std::to_string(silentTelnet.Port()), "does not answer", 7000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome outcome = RunOn(c.port, {"status"}, ms);
        EXPECT_EQ(outcome.exitCode, 3) << outcome.err;
        EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
        EXPECT_LT(ms, c.boundMs);
        std::printf("%s: exit %d in %lld ms\n", c.what, outcome.exitCode, static_cast<long long>(ms));
    }
}

// A server that closes or resets the connection as the run begins, as
// ser2net does to a client while another holds its line: a link failure
// that says so, raw and over RFC 2217.
TEST(EcrCtlServerHangup, AConnectionTheServerEndsMayBeAnotherClientsLine)
{
    for (const TcpPeer::Hangup how : {TcpPeer::Hangup::Close, TcpPeer::Hangup::Reset}) {
        for (const std::string scheme : {"tcp://", "rfc2217://"}) {
            SCOPED_TRACE(scheme + (how == TcpPeer::Hangup::Close ? " closed" : " reset"));
            TcpPeer server;
            std::thread hangUp([&server, how] { server.HangUp(how); });
            const EcrCtlOutcome outcome =
                RunEcrCtl({"--port", scheme + "127.0.0.1:" + std::to_string(server.Port()), "status"});
            hangUp.join();
            EXPECT_EQ(outcome.exitCode, 3);
            EXPECT_NE(outcome.err.find("127.0.0.1:" + std::to_string(server.Port()) + ": "), std::string::npos)
                << outcome.err;
            EXPECT_NE(outcome.err.find("; another client may hold the line"), std::string::npos) << outcome.err;
        }
    }
}

}  // namespace
