// The log-on on a real port, a pseudo-terminal playing the register.
#include "link/RegisterLink.h"

#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A late reply of an earlier run is still arriving when the link opens: its
// first bytes wait on the line, the rest comes in bursts farther apart than
// ten bytes' time at the line's speed (as an adapter hands bytes on). The
// drain takes all of it before the ENQ goes out, so the status read is the
// register's answer to the ENQ and not a byte of the old reply.
TEST(LogOnDrainTest, ALateReplyStillArrivingIsDrainedBeforeTheEnquiry)
{
    const std::string late = "\x1B" "P$VOK89" "\x1B\\";
    for (const int baud : {19200, 9600}) {
        PseudoTerminal line(PseudoTerminal::Use::Program);
        line.Send(late.substr(0, 3));
        std::string enquiry;
        std::thread earlierRun([&] {
            line.Send(late.substr(3, 4));
            std::this_thread::sleep_for(25ms);
            line.Send(late.substr(7));
            enquiry = line.Receive(1, 5000);
            line.Send("\x06");
        });
        std::string reads;
        RegisterLink::Reports reports;
        reports.reads = [&reads](ECRString text) { reads.append(text.Data(), text.Length()); };
        RegisterLink link;
        const bool opened = link.Open(PortAddress::DevicePath(line.SlavePath()), RegisterLink::Settings(baud), reports);
        earlierRun.join();

        EXPECT_TRUE(opened) << baud;
        EXPECT_EQ(link.Status(), 6) << baud;
        EXPECT_EQ(enquiry, "\x05") << baud;
        EXPECT_EQ(reads, late + "\x06") << baud;
    }
}

}  // namespace
