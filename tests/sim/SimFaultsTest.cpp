#include "SimTestSupport.h"

// Status polling and the faults the register shows on demand, on a clock
// the test moves by hand.
namespace {
const std::string kEnq = "\x05";
const std::string kReady = "\x06";
const std::string kBusy = "\xC0";
}  // namespace

TEST_F(SimulatorTest, EnqAnsweredReadyWhenIdle)
{
    EXPECT_EQ(Send(kEnq), kReady);
    EXPECT_EQ(Send(kEnq + kEnq), kReady + kReady);
}

TEST_F(SimulatorTest, ReportHoldsItsReplyBackWhilePrinting)
{
    sim.SetPrintMilliseconds(5000);
    EXPECT_EQ(Send(Frame("#w", "AB")), "");
    Advance(3 * kSecond);
    EXPECT_TRUE(sim.Busy());
    EXPECT_EQ(Send(kEnq), kBusy);
    // A request sent meanwhile is answered after the print, behind the report's reply.
    EXPECT_EQ(Send(Frame("$v", "AD")), "");
    Advance(2 * kSecond - 1);
    EXPECT_EQ(Send(kEnq), kBusy);
    Advance(1);
    EXPECT_EQ(sim.TakeOutput(), Frame("#w", "AB") + Frame("$V2000\t1000\t0\t0\t0\t0\t0\t0\t0\t", "B7"));
    EXPECT_EQ(Send(kEnq), kReady);
}

TEST_F(SimulatorTest, ReadingCommandsDoNotMakeTheRegisterBusy)
{
    sim.SetPrintMilliseconds(5000);
    EXPECT_EQ(Send(Frame("$v", "AD")), Frame("$V2000\t1000\t0\t0\t0\t0\t0\t0\t0\t", "B7"));
    EXPECT_EQ(Send(kEnq), kReady);
}

TEST_F(SimulatorTest, BusyFaultAndReplyDelayPostponeEveryReply)
{
    SimFaults faults;
    faults.busyMs = 1500;
    faults.replyDelayMs = 200;
    sim.SetFaults(faults);
    EXPECT_EQ(Send(Frame("#y1\x1F""1\x1F", "A5")), "");
    Advance(1500000 - 1);
    EXPECT_EQ(Send(kEnq), kBusy);
    Advance(1);
    // No longer busy, but the reply still waits out its delay.
    EXPECT_EQ(Send(kEnq), kReady);
    Advance(200000);
    EXPECT_EQ(sim.TakeOutput(), Frame("#y", "A5"));
    ASSERT_TRUE(sim.NextOutputTime() == std::nullopt);
}

TEST_F(SimulatorTest, BaudRatePacesBothDirectionsAtTenBitsAByte)
{
    SimFaults faults;
    faults.baudRate = 9600;  // 1041.67 us a byte
    sim.SetFaults(faults);
    // The 8-byte request is through 8 byte times after it was handed in, not before.
    EXPECT_EQ(Send(Frame("#w", "AB")), "");
    EXPECT_EQ(sim.NextOutputTime(), std::optional<std::int64_t>(1042));
    Advance(8333);
    EXPECT_EQ(sim.TakeOutput(), "");
    EXPECT_TRUE(sim.Requests().empty());
    Advance(1);
    EXPECT_EQ(sim.TakeOutput(), "");
    EXPECT_EQ(sim.Requests(), std::vector<std::string>{"#w"});
    // The reply starts then: its third byte is through at 8334 + 3125.
    EXPECT_EQ(sim.NextOutputTime(), std::optional<std::int64_t>(8334 + 1042));
    Advance(3125);
    EXPECT_EQ(sim.TakeOutput(), "\x1B" "P#");
    Advance(5209 - 1);
    EXPECT_EQ(sim.TakeOutput(), "wAB\x1B");
    Advance(1);
    EXPECT_EQ(sim.TakeOutput(), "\\");
    EXPECT_EQ(sim.BytesReceived(), 8u);
    EXPECT_EQ(sim.BytesSent(), 8u);

    // ENQ costs a byte each way.
    EXPECT_EQ(Send(kEnq), "");
    Advance(2 * 1042 - 1);
    EXPECT_EQ(sim.TakeOutput(), "");
    Advance(1);
    EXPECT_EQ(sim.TakeOutput(), kReady);
}

TEST_F(SimulatorTest, PacedRequestHandedInPiecesCountsFromItsFirstByte)
{
    SimFaults faults;
    faults.baudRate = 19200;  // 520.83 us a byte
    sim.SetFaults(faults);
    // The rest of the frame comes while its first bytes are still on the line.
    EXPECT_EQ(Send("\x1B" "P$"), "");
    Advance(1000);
    EXPECT_EQ(Send("vAD\x1B\\"), "");
    Advance(4167 - 1000 - 1);  // 8 bytes: 4166.7 us
    EXPECT_EQ(sim.TakeOutput(), "");
    EXPECT_TRUE(sim.Requests().empty());
    Advance(1);
    sim.TakeOutput();
    EXPECT_EQ(sim.Requests(), std::vector<std::string>{"$v"});
    // A request handed in after the line went quiet counts from its own arrival.
    Advance(1000000);
    sim.TakeOutput();
    EXPECT_EQ(Send(Frame("$v", "AD")), "");
    Advance(4167);
    sim.TakeOutput();
    EXPECT_EQ(sim.Requests().size(), 2u);
}

TEST_F(SimulatorTest, EveryNthReplyFaultsHitOnlyThoseReplies)
{
    SimFaults faults;
    faults.badChecksumEvery = 2;
    sim.SetFaults(faults);
    EXPECT_EQ(Send(Frame("#w", "AB")), Frame("#w", "AB"));
    // The right checksum of "#w" XOR 0x5A.
    EXPECT_EQ(Send(Frame("#w", "AB")), Frame("#w", "F1"));
    EXPECT_EQ(Send(Frame("#w", "AB")), Frame("#w", "AB"));

    faults = {};
    faults.wrongLetterEvery = 1;
    sim.SetFaults(faults);
    EXPECT_EQ(Send(Frame("$v", "AD")), Frame("$W2000\t1000\t0\t0\t0\t0\t0\t0\t0\t", "B6"));
    EXPECT_EQ(Send(Frame("#w", "AB")), Frame("#Y", "85"));
    EXPECT_EQ(Send(Frame("*u", "A0")), Frame("#Wu\n58\x1F", "E6"));
}

TEST_F(SimulatorTest, DroppedReplyStillChangesTheRegister)
{
    SimFaults faults;
    faults.dropReplyEvery = 1;
    sim.SetFaults(faults);
    EXPECT_EQ(Send(Frame("#y1\x1F""1\x1F", "A5")), "");
    EXPECT_EQ(Send(kEnq), kReady);
    sim.SetFaults({});
    EXPECT_EQ(Send(Frame("$y1\x1F", "8C")), Frame("$Y1\x1F""1", "9D"));
    EXPECT_EQ(sim.Requests().size(), 2u);
}

TEST_F(SimulatorTest, DropReplyAtLosesOnlyTheChosenRequestOfItsCommandWhichStillTakesEffect)
{
    SimFaults faults;
    faults.dropReplyAt = "#y";
    faults.dropReplyAtCount = 2;
    sim.SetFaults(faults);
    EXPECT_EQ(Send(Frame("#y1\x1F""1\x1F", "A5")), Frame("#y", "A5"));
    // Another command neither counts nor loses its reply.
    EXPECT_EQ(Send(Frame("$y1\x1F", "8C")), Frame("$Y1\x1F""1", "9D"));
    EXPECT_EQ(Send(Frame("#y1\x1F""0\x1F", "A4")), "");
    EXPECT_EQ(Send(kEnq), kReady);
    // The lost one switched the logo off all the same.
    EXPECT_EQ(Send(Frame("$y1\x1F", "8C")), Frame("$Y1\x1F""0", "9C"));
    EXPECT_EQ(Send(Frame("#y1\x1F""1\x1F", "A5")), Frame("#y", "A5"));
    // Setting the faults again counts from the start.
    sim.SetFaults(faults);
    EXPECT_EQ(Send(Frame("#y1\x1F""1\x1F", "A5")), Frame("#y", "A5"));
    EXPECT_EQ(Send(Frame("#y1\x1F""1\x1F", "A5")), "");
}

TEST_F(SimulatorTest, BytesAroundTheReplyAndSilenceToEnq)
{
    SimFaults faults;
    faults.statusBytesBeforeReply = 2;
    faults.garbageBeforeReply = "AB";
    faults.staleAfterReply = "\x06Z";
    faults.silentToEnq = true;
    sim.SetFaults(faults);
    EXPECT_EQ(Send(Frame("#w", "AB")), kBusy + kBusy + "AB" + Frame("#w", "AB") + "\x06Z");
    EXPECT_EQ(Send(kEnq), "");
}

TEST_F(SimulatorTest, BadRequestChecksumIsAnsweredWithCode2AndRecorded)
{
    EXPECT_EQ(Send(Frame("$v", "AE")), Frame("#Zv\n2\x1F", "D7"));
    EXPECT_EQ(Send(Frame("$v", "ad")), Frame("#Zv\n2\x1F", "D7"));
    EXPECT_EQ(Send(Frame("", "FF")), Frame("#Z?\n255\x1F", "9E"));
    ASSERT_EQ(sim.Requests().size(), 3u);
    EXPECT_EQ(sim.Requests()[0], "$v");
}

TEST_F(SimulatorTest, NoiseAndAbandonedFramesDoNotHideTheNextRequest)
{
    // Noise, a half frame the client gave up on, then a whole request.
    EXPECT_EQ(Send("\x15\x06xyz\x1B" "P#y1" "\x1B" "P$vAD\x1B\\"), Frame("$V2000\t1000\t0\t0\t0\t0\t0\t0\t0\t", "B7"));
    // A frame split over many reads.
    const std::string request = Frame("$y2\x1F", "8F");
    for (std::size_t i = 0; i + 1 < request.size(); ++i) {
        EXPECT_EQ(Send(request.substr(i, 1)), "");
    }
    EXPECT_EQ(Send(request.substr(request.size() - 1)), Frame("$Y2\x1F""0", "9F"));
    ASSERT_EQ(sim.Requests().size(), 2u);
}

TEST_F(SimulatorTest, OverlongFrameIsDroppedAndStrayEscapeStaysInTheBody)
{
    EXPECT_EQ(Send("\x1B" "P" + std::string(9000, 'A') + "\x1B\\"), "");
    EXPECT_TRUE(sim.Requests().empty());
    // An ESC that closes nothing is part of the payload, whose checksum then covers it.
    EXPECT_EQ(Send(Frame("$y1\x1B" "x", "F0")), Frame("#Zy\n3\x1F", "D9"));
    ASSERT_EQ(sim.Requests().size(), 1u);
    EXPECT_EQ(sim.Requests()[0], "$y1\x1B" "x");
}

TEST_F(SimulatorTest, OverlongFrameIsDroppedUpToItsCloserWithoutAnsweringBytesInside)
{
    // ENQ bytes in the dropped part are data, not status polls.
    EXPECT_EQ(Send("\x1B" "P" + std::string(9000, 'A') + "\x05\x05" + "\x1B\\"), "");
    EXPECT_EQ(Send(kEnq), kReady);
    // A new frame opened inside the dropped one is read as usual.
    EXPECT_EQ(Send("\x1B" "P" + std::string(9000, 'A') + "\x1B" "P$vAD\x1B\\"),
              Frame("$V2000\t1000\t0\t0\t0\t0\t0\t0\t0\t", "B7"));
    EXPECT_EQ(sim.Requests().size(), 1u);
}

TEST_F(SimulatorTest, RefusalEchoNeverCarriesAZeroByteOrABackslash)
{
    // Unknown command "#\": the class is echoed instead of the backslash.
    EXPECT_EQ(Send(Frame("#\\", "80")), Frame("#Z#\n255\x1F", "82"));
    // "$", zero byte: no checksum can match, and the zero cannot be echoed.
    EXPECT_EQ(Send(std::string("\x1B" "P$\0" "00\x1B\\", 8)), Frame("#Z$\n2\x1F", "85"));
    EXPECT_EQ(Send(Frame("\\\\", "FF")), Frame("#Z?\n255\x1F", "9E"));
}

TEST_F(SimulatorTest, RecordOfRequestsKeepsTheNewestWithinItsBound)
{
    const std::string request = Frame("#w", "AB");
    std::string many;
    for (std::size_t i = 0; i < ECRSimulator::kMaxRequestsKept; ++i) {
        many += request;
    }
    sim.Receive(many);
    sim.TakeOutput();
    EXPECT_EQ(sim.Requests().size(), ECRSimulator::kMaxRequestsKept);
    EXPECT_EQ(Send(Frame("$v", "AD")).substr(0, 4), "\x1B" "P$V");
    ASSERT_EQ(sim.Requests().size(), ECRSimulator::kMaxRequestsKept / 2 + 1);
    EXPECT_EQ(sim.Requests().back(), "$v");
}
