#include "serial/NetworkPort.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRClock.h"

#include <utility>

namespace {

// The line settings' codes as the COM port option takes them.
char ParityValue(std::int32_t parity)
{
    return static_cast<char>(parity >= 0 && parity <= 4 ? parity + 1 : 1);  // none, odd, even, mark, space
}

char StopSizeValue(std::int32_t stopBits)
{
    switch (stopBits) {
    case 1:
        return 3;  // one and a half
    case 2:
        return 2;
    default:
        return 1;
    }
}

std::string BigEndian32(std::uint32_t value)
{
    return std::string{static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
                       static_cast<char>(value)};
}

}  // namespace

NetworkPort::NetworkPort(const SerialSettings& settings, std::string host, int port, Protocol protocol)
    : m_settings(settings), m_host(std::move(host)), m_port(port), m_protocol(protocol)
{
}

NetworkPort::~NetworkPort()
{
    Close();
}

std::string NetworkPort::Endpoint() const
{
    const bool ipv6 = m_host.find(':') != std::string::npos;
    return (ipv6 ? "[" + m_host + "]" : m_host) + ":" + std::to_string(m_port);
}

bool NetworkPort::Open()
{
    Close();
    m_problem.clear();
    m_telnet = TelnetCodec();
    if (m_host.empty() || m_port < 1 || m_port > 65535) {
        m_problem = "not a network address: HOST:PORT expected";
        throw CommError(CommError::OpenFailed);
    }
    std::string why;
    int error = 0;
    m_socket = SocketApi::Connect(m_host, m_port, kConnectTimeoutMs, why, &error);
    if (m_socket == SocketApi::kInvalid) {
        // Reset as it was made: taken, and at once given up.
        Fail(CommError::OpenFailed, why + (SocketApi::ConnectionReset(error) ? kAnotherClient : ""));
    }
    if (m_protocol == Protocol::Rfc2217) {
        SendAll(m_telnet.Opening(), CommError::OpenFailed);
        const std::int64_t deadline = ECRClockMs() + kNegotiationMs;
        while (m_telnet.ComPortOption() == TelnetCodec::Answer::Pending && ECRClockMs() < deadline) {
            Receive(static_cast<int>(deadline - ECRClockMs()));
        }
        if (m_telnet.ComPortOption() != TelnetCodec::Answer::Refused) {
            SendLineSettings();
        }
    }
    return true;
}

void NetworkPort::SendLineSettings()
{
    const bool hardwareFlow = (m_settings.FlowControl() & 1) != 0;
    const bool rtsOn = (m_settings.FlowControl() & 3) == 1;
    const bool dtrOn = (m_settings.DtrControl() & 3) != 0;
    std::string commands;
    commands += TelnetCodec::ComPortCommand(TelnetCodec::SET_BAUDRATE,
                                            BigEndian32(static_cast<std::uint32_t>(m_settings.BaudRate())));
    commands += TelnetCodec::ComPortCommand(TelnetCodec::SET_DATASIZE, std::string(1, static_cast<char>(m_settings.ByteSize())));
    commands += TelnetCodec::ComPortCommand(TelnetCodec::SET_PARITY, std::string(1, ParityValue(m_settings.Parity())));
    commands += TelnetCodec::ComPortCommand(TelnetCodec::SET_STOPSIZE, std::string(1, StopSizeValue(m_settings.StopBits())));
    // Flow control (1 none, 3 hardware), DTR (8 on, 9 off), RTS (11 on, 12 off).
    // Some servers never acknowledge these (a pseudo-terminal has no such
    // lines): they are not waited for.
    commands += TelnetCodec::ComPortCommand(TelnetCodec::SET_CONTROL, std::string(1, hardwareFlow ? 3 : 1));
    commands += TelnetCodec::ComPortCommand(TelnetCodec::SET_CONTROL, std::string(1, dtrOn ? 8 : 9));
    if (!hardwareFlow) {
        commands += TelnetCodec::ComPortCommand(TelnetCodec::SET_CONTROL, std::string(1, rtsOn ? 11 : 12));
    }
    SendAll(commands, CommError::OpenFailed);
}

bool NetworkPort::AwaitLineAcknowledged(int timeoutMs)
{
    const auto acknowledged = [this] {
        for (const unsigned char command : {TelnetCodec::SET_BAUDRATE, TelnetCodec::SET_DATASIZE,
                                            TelnetCodec::SET_PARITY, TelnetCodec::SET_STOPSIZE}) {
            if (!m_telnet.Acknowledged(command)) {
                return false;
            }
        }
        return true;
    };
    const std::int64_t deadline = ECRClockMs() + timeoutMs;
    while (!acknowledged() && ECRClockMs() < deadline) {
        Receive(static_cast<int>(deadline - ECRClockMs()));
    }
    return acknowledged();
}

bool NetworkPort::Close()
{
    SocketApi::Close(m_socket);
    m_socket = SocketApi::kInvalid;
    m_received.clear();
    m_offset = 0;
    return true;
}

bool NetworkPort::Write(ECRString text)
{
    const std::string bytes(text.Data(), text.Length());
    SendAll(m_protocol == Protocol::Rfc2217 ? TelnetCodec::Escape(bytes) : bytes, CommError::WriteFailed);
    return true;
}

bool NetworkPort::SetReadTimeout(std::int32_t /*timeoutMs*/)
{
    return true;
}

ECRString NetworkPort::ReadUntil(ECRString terminator, std::int32_t timeoutMs)
{
    return m_reader.Report(m_reader.Read(terminator.Data()[0], ByteReader::kMaxReadUntilBytes,
                                         [this, timeoutMs] { return NextByte(timeoutMs); }));
}

ECRString NetworkPort::ReadCount(std::int32_t count, std::int32_t timeoutMs)
{
    return m_reader.Report(m_reader.Read('\0', count, [this, timeoutMs] { return NextByte(timeoutMs); }));
}

void NetworkPort::PurgeInput()
{
    if (m_protocol == Protocol::Rfc2217 && m_socket != SocketApi::kInvalid &&
        m_telnet.ComPortOption() == TelnetCodec::Answer::Agreed) {
        // 1: the server's buffer of what came from the line for us.
        SendAll(TelnetCodec::ComPortCommand(TelnetCodec::PURGE_DATA, std::string(1, 1)), CommError::WriteFailed);
    }
}

int NetworkPort::NextByte(std::int32_t timeoutMs)
{
    // As on a serial line: 0 waits for a byte without end.
    const std::int64_t deadline = ECRClockMs() + timeoutMs;
    while (m_offset == m_received.size()) {
        m_received.clear();
        m_offset = 0;
        const std::int64_t left = deadline - ECRClockMs();
        if (timeoutMs > 0 && left <= 0) {
            return -1;
        }
        if (!Receive(timeoutMs > 0 ? static_cast<int>(left) : -1) && timeoutMs > 0 && ECRClockMs() >= deadline) {
            return -1;
        }
    }
    return static_cast<unsigned char>(m_received[m_offset++]);
}

bool NetworkPort::Receive(int waitMs)
{
    if (m_socket == SocketApi::kInvalid) {
        Fail(CommError::ReadFailed, "not connected");
    }
    pollfd wait{m_socket, POLLIN, 0};
    const int ready = SocketApi::Poll(&wait, 1, waitMs);
    if (ready < 0) {
        Fail(CommError::ReadFailed, SocketApi::ErrorText(SocketApi::LastError()));
    }
    if (ready == 0) {
        return false;
    }
    char buffer[4096];
    const long count = SocketApi::Receive(m_socket, buffer, sizeof buffer);
    if (count == 0) {
        Fail(CommError::ReadFailed, "the connection was closed by the server" + std::string(kAnotherClient));
    }
    if (count < 0) {
        FailOnError(CommError::ReadFailed);
    }
    const std::string_view bytes(buffer, static_cast<std::size_t>(count));
    if (m_protocol == Protocol::Raw) {
        m_received.append(bytes);
        return true;
    }
    std::string replies;
    m_telnet.Feed(bytes, m_received, replies);
    if (!replies.empty()) {
        SendAll(replies, CommError::ReadFailed);
    }
    return true;
}

void NetworkPort::SendAll(const std::string& bytes, std::int32_t code)
{
    if (m_socket == SocketApi::kInvalid) {
        Fail(code, "not connected");
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long sent = SocketApi::Send(m_socket, bytes.data() + done, bytes.size() - done);
        if (sent <= 0) {
            FailOnError(code);
        }
        done += static_cast<std::size_t>(sent);
    }
}

void NetworkPort::FailOnError(std::int32_t code)
{
    const int error = SocketApi::LastError();
    Fail(code, SocketApi::ErrorText(error) + (SocketApi::ConnectionReset(error) ? kAnotherClient : ""));
}

void NetworkPort::Fail(std::int32_t code, const std::string& why)
{
    m_problem = Endpoint() + ": " + why;
    Close();
    throw CommError(code);
}
