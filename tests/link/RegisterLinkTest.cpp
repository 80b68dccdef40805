// Register links in one process, each on its own simulated register.
#include "ecr/commands/ECRArticle.h"
#include "ecr/protocol/CommError.h"
#include "link/RegisterLink.h"
#include "sim/ECRSimulator.h"
#include "sim/SimulatorHost.h"
#include "support/TcpPeer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace {

// What one link reported, each kind apart.
struct Reported {
    std::vector<std::string> requests;
    std::vector<std::string> reads;
    std::vector<std::string> messages;

    RegisterLink::Reports Reports()
    {
        RegisterLink::Reports reports;
        reports.requests = [this](ECRString text) { requests.emplace_back(text.Data(), text.Length()); };
        reports.reads = [this](ECRString text) {
            if (text.Length() != 0)
                reads.emplace_back(text.Data(), text.Length());
        };
        reports.messages = [this](ECRString text) { messages.emplace_back(text.Data(), text.Length()); };
        return reports;
    }

    // Everything the link saw, requests and reads alike.
    std::string All() const
    {
        std::string all;
        for (const auto* list : {&requests, &reads, &messages})
            for (const std::string& entry : *list)
                all += entry + "|";
        return all;
    }
};

struct Register {
    SimulatorHost host;
    RegisterLink link;
    Reported reported;

    void Open()
    {
        ASSERT_TRUE(host.Start());
        ASSERT_TRUE(link.Open(PortAddress::DevicePath(host.DevicePath()), RegisterLink::Settings(19200),
                              reported.Reports()));
    }
};

ECRArticle Article(const char* name)
{
    ECRArticle article;
    article.name = name;
    article.price = 1250;
    article.taxRate = 1;
    article.unit = 0;
    return article;
}

// Why a port did not open, in the words every front end shows: the system's
// reason, with the design's text of the failed step beside it.
TEST(RegisterLinkTest, APortThatDoesNotOpenSaysWhy)
{
    SimulatorHost held;
    ASSERT_TRUE(held.Start());
    const int fd = ::open(held.DevicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0) << "another program holds the line";
    int closedPort = 0;
    {
        TcpPeer gone;
        closedPort = gone.Port();
    }
    struct Case {
        PortAddress address;
        std::string words;
    };
    const Case cases[] = {
        {PortAddress::DevicePath("/nonexistent/ttyUSB9"), "no such device (Error opening port)"},
        {PortAddress::DevicePath("/dev/null"), "not a serial line (Error reading port settings)"},
        {PortAddress::DevicePath(held.DevicePath()), "in use by another program (Error opening port)"},
        {PortAddress::Network(PortAddress::Kind::Tcp, "127.0.0.1", closedPort),
         "127.0.0.1:" + std::to_string(closedPort) + ": Connection refused (Error opening port)"},
    };
    for (const Case& c : cases) {
        RegisterLink link;
        try {
            link.Open(c.address, RegisterLink::Settings(19200), {});
            ADD_FAILURE() << c.words << ": opened";
        } catch (const CommError& error) {
            EXPECT_EQ(link.Describe(error), c.words);
        }
    }
    ::close(fd);
}

TEST(RegisterLinkTest, TwoRegistersInOneProcessEachSeeOnlyTheirOwn)
{
    Register first;
    Register second;
    first.Open();
    second.Open();
    ASSERT_TRUE(first.link.IsOpen());
    ASSERT_TRUE(second.link.IsOpen());
    first.host.ClearRequests();
    second.host.ClearRequests();
    // The second has no paper: its refusal must not show on the first.
    second.host.WithSimulator([](ECRSimulator& sim) {
        SimFaults faults;
        faults.paperOut = true;
        sim.SetFaults(faults);
    });

    // In turn, as a service with two tills would drive them.
    first.link.Device()->WriteArticle(Article("PRVA"));
    second.link.Device()->PrintStatusReport();
    first.link.Device()->WriteArticle(Article("DRUGA"));
    second.link.Device()->WriteArticle(Article("TRECA"));

    // name LF, price in hundredths TAB, tax rate US, unit US
    EXPECT_EQ(first.host.Requests(),
              (std::vector<std::string>{"#rPRVA\n1250\t1\x1f" "0\x1f", "#rDRUGA\n1250\t1\x1f" "0\x1f"}));
    ASSERT_EQ(second.host.Requests().size(), 2u);
    EXPECT_EQ(second.host.Requests()[1], "#rTRECA\n1250\t1\x1f" "0\x1f");

    // Each link's reports hold its own requests and answers only.
    EXPECT_EQ(first.reported.requests, first.host.Requests());
    EXPECT_EQ(second.reported.requests, second.host.Requests());
    EXPECT_EQ(first.reported.All().find("TRECA"), std::string::npos);
    EXPECT_EQ(second.reported.All().find("PRVA"), std::string::npos);
    EXPECT_EQ(first.reported.messages,
              (std::vector<std::string>{"Operacija je uspesna", "Operacija je uspesna"}));
    EXPECT_EQ(second.reported.messages.front(), "Nema papira (trake)");

    // And its own verdicts: the second's refusal is not the first's.
    EXPECT_EQ(first.link.Device()->LastVerdict().kind, ECRVerdict::Kind::Accepted);
    EXPECT_EQ(first.link.Device()->Verdicts().Count(), 3u);  // the log-on enquiry and two articles
    second.link.Device()->PrintStatusReport();
    EXPECT_EQ(second.link.Device()->LastVerdict().kind, ECRVerdict::Kind::Refused);
    EXPECT_EQ(second.link.Device()->LastVerdict().code, 12);
    EXPECT_EQ(first.link.Device()->LastVerdict().kind, ECRVerdict::Kind::Accepted);
}

TEST(RegisterLinkTest, EveryExchangeIsReportedInTheOrderOfTheLine)
{
    // One timeline of everything the link reports, the empty reads too: a
    // session log and the monitor are written from it in this order.
    SimulatorHost host;
    ASSERT_TRUE(host.Start());
    std::vector<std::string> timeline;
    RegisterLink::Reports reports;
    reports.requests = [&](ECRString text) { timeline.push_back("request " + std::string(text.Data(), text.Length())); };
    reports.reads = [&](ECRString text) { timeline.push_back("read " + std::string(text.Data(), text.Length())); };
    reports.messages = [&](ECRString text) { timeline.push_back("message " + std::string(text.Data())); };
    RegisterLink link;
    ASSERT_TRUE(link.Open(PortAddress::DevicePath(host.DevicePath()), RegisterLink::Settings(19200), reports));
    timeline.clear();

    link.Device()->WriteArticle(Article("PRVA"));

    // The flush's read that found the line quiet, the request, its answer as
    // read, the register's message for it.
    EXPECT_EQ(timeline, (std::vector<std::string>{"read ", "request #rPRVA\n1250\t1\x1f" "0\x1f",
                                                  "read \x1bP#rAE\x1b\\", "message Operacija je uspesna"}));
}

}  // namespace
