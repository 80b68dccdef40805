// The network transports against a peer on loopback, the bytes on the wire
// written out by hand.
#include "serial/NetworkPort.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRClock.h"
#include "support/TcpPeer.h"

#include "support/ByteString.h"
#include "support/EcrStringBytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// 19200 baud, 8 data bits, no parity, one stop bit, no flow control, DTR off.
const SerialSettings kLine(0, 19200, 8, 0, 0, 0, 0);
// What an RFC 2217 server says first: DO COM-PORT-OPTION, DO and WILL BINARY, WILL SUPPRESS-GO-AHEAD.
const std::string kServerGreeting = ByteString({0xFF, 0xFD, 0x2C, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x00, 0xFF, 0xFB, 0x03});

TEST(NetworkPortTest, Rfc2217SetsTheLineFromTheSettings)
{
    TcpPeer server(kServerGreeting);
    NetworkPort port(kLine, "127.0.0.1", server.Port(), NetworkPort::Protocol::Rfc2217);
    ASSERT_TRUE(port.Open());
    const std::string expected =
        ByteString({0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x03, 0xFF, 0xFD, 0x03, 0xFF, 0xFB, 0x2C}) +
        ByteString({0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0}) +  // SET-BAUDRATE 19200
        ByteString({0xFF, 0xFA, 0x2C, 0x02, 0x08, 0xFF, 0xF0}) +                    // SET-DATASIZE 8
        ByteString({0xFF, 0xFA, 0x2C, 0x03, 0x01, 0xFF, 0xF0}) +                    // SET-PARITY none
        ByteString({0xFF, 0xFA, 0x2C, 0x04, 0x01, 0xFF, 0xF0}) +                    // SET-STOPSIZE 1
        ByteString({0xFF, 0xFA, 0x2C, 0x05, 0x01, 0xFF, 0xF0}) +                    // no flow control
        ByteString({0xFF, 0xFA, 0x2C, 0x05, 0x09, 0xFF, 0xF0}) +                    // DTR off
        ByteString({0xFF, 0xFA, 0x2C, 0x05, 0x0C, 0xFF, 0xF0});                     // RTS off
    EXPECT_EQ(server.ReceiveAll(), expected);
    EXPECT_EQ(port.Telnet().ComPortOption(), TelnetCodec::Answer::Agreed);

    // The server's input buffer is purged at every flush.
    port.PurgeInput();
    EXPECT_EQ(server.ReceiveAll(), ByteString({0xFF, 0xFA, 0x2C, 0x0C, 0x01, 0xFF, 0xF0}));
}

TEST(NetworkPortTest, Rfc2217EscapesBothWaysAndReadsAsASerialPortDoes)
{
    TcpPeer server(kServerGreeting);
    NetworkPort port(kLine, "127.0.0.1", server.Port(), NetworkPort::Protocol::Rfc2217);
    ASSERT_TRUE(port.Open());
    server.ReceiveAll();

    port.Write(ECRString("\x05\xFF"));
    EXPECT_EQ(server.ReceiveAll(), ByteString({0x05, 0xFF, 0xFF}));
    // A busy status byte 0xFF, an acknowledgement between, XON dropped, and
    // the read ending at the backslash; what follows is left for the next read.
    server.Send(ByteString({0xFF, 0xFF, 0xFF, 0xFA, 0x2C, 0x65, 0, 0, 0x4B, 0, 0xFF, 0xF0, 0x11, 0x1B, 'P', 0x1B, '\\', 'N'}));
    EXPECT_EQ(Bytes(port.ReadUntil("\\", 1000)), ByteString({0xFF, 0x1B, 'P', 0x1B, '\\'}));
    EXPECT_EQ(Bytes(port.ReadCount(5, 100)), "N");
    EXPECT_TRUE(port.Telnet().Acknowledged(TelnetCodec::SET_BAUDRATE).has_value());
}

TEST(NetworkPortTest, RawTcpPassesTheBytesAsTheyAre)
{
    TcpPeer server;
    NetworkPort port(kLine, "127.0.0.1", server.Port(), NetworkPort::Protocol::Raw);
    ASSERT_TRUE(port.Open());
    port.Write(ECRString("\x1BP\xFF"));
    EXPECT_EQ(server.ReceiveAll(), ByteString({0x1B, 'P', 0xFF}));
    port.PurgeInput();  // nothing to say to a raw server
    EXPECT_EQ(server.ReceiveAll(50), "");
    server.Send(ByteString({0x06, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(port.ReadCount(3, 1000)), ByteString({0x06, 0xFF, 0xFF}));
    // A quiet line is a time-out, as on a serial line.
    EXPECT_EQ(Bytes(port.ReadCount(1, 20)), "");
}

TEST(NetworkPortTest, AConnectionThatFailsIsALinkFailureNamingTheServer)
{
    const auto failure = [](NetworkPort& port, const std::function<void()>& action, std::int32_t& code) {
        code = 0;
        try {
            action();
        } catch (const CommError& error) {
            code = error.code;
        }
        return port.Problem();
    };
    std::int32_t code = 0;

    int closedPort = 0;
    {
        TcpPeer gone;
        closedPort = gone.Port();
    }
    NetworkPort refused(kLine, "127.0.0.1", closedPort, NetworkPort::Protocol::Raw);
    const std::string why = failure(refused, [&] { refused.Open(); }, code);
    EXPECT_EQ(code, CommError::OpenFailed);
    EXPECT_EQ(why.rfind("127.0.0.1:" + std::to_string(closedPort) + ": ", 0), 0u) << why;

    NetworkPort nowhere(kLine, "no-such-host.invalid", 2000, NetworkPort::Protocol::Raw);
    EXPECT_NE(failure(nowhere, [&] { nowhere.Open(); }, code).find("cannot resolve no-such-host.invalid"),
              std::string::npos);
    EXPECT_EQ(code, CommError::OpenFailed);

    NetworkPort unreadable(kLine, "", 0, NetworkPort::Protocol::Raw);
    failure(unreadable, [&] { unreadable.Open(); }, code);
    EXPECT_EQ(code, CommError::OpenFailed);

    // Killed in the middle of a reply: at once, not after the reply time-out.
    TcpPeer server;
    NetworkPort lost(kLine, "127.0.0.1", server.Port(), NetworkPort::Protocol::Raw);
    ASSERT_TRUE(lost.Open());
    server.Send("\x1BP$V");
    server.Close();
    const std::int64_t startMs = ECRClockMs();
    EXPECT_NE(failure(lost, [&] { lost.ReadUntil("\\", 3000); }, code).find("closed by the server"),
              std::string::npos);
    EXPECT_EQ(code, CommError::ReadFailed);
    EXPECT_LT(ECRClockMs() - startMs, 1000);
    failure(lost, [&] { lost.Write("x"); }, code);
    EXPECT_EQ(code, CommError::WriteFailed);
}

}  // namespace
