#pragma once

#include "ecr/protocol/ECRCallbacks.h"
#include "ecr/protocol/ECRString.h"
#include "ecr/protocol/SerialPort.h"
#include "serial/ByteReader.h"
#include "serial/SerialSettings.h"
#include "serial/TelnetCodec.h"
#include "serial/platform/SocketApi.h"

#include <cstdint>
#include <string>

// The register's line through a serial device server, over TCP: raw (the
// bytes as on the line; the server's own speed settings apply), or RFC 2217
// (Telnet with the COM port option: the line settings are set from ours,
// input is purged at every flush, IAC escaped both ways). It reads as a
// serial port does (ByteReader) with the same time-outs, so the engine
// cannot tell. A connection that cannot be made, or that is lost, is a link
// failure at once (CommError 1, 8 or 9), with Problem() naming HOST:PORT and
// the reason; never a wait for bytes that cannot come.
class NetworkPort : public SerialPort {
public:
    enum class Protocol { Raw, Rfc2217 };

    // How long a connection may take to be made, and the server to answer
    // our wish to set its line (a server that never answers is used as is).
    // Some servers take a new client only seconds after the last one left,
    // the connection made but not yet served: the answer is worth waiting for.
    // Said of a connection the server closed or reset: a server lends its
    // line to one client at a time, and may take it from one for another
    // (ser2net's kickolduser), or refuse a client while another holds it.
    static constexpr const char* kAnotherClient = "; another client may hold the line";
    static constexpr int kConnectTimeoutMs = 4000;
    static constexpr int kNegotiationMs = 4000;

    // An empty host (an address that could not be read) opens nothing.
    NetworkPort(const SerialSettings& settings, std::string host, int port, Protocol protocol);
    ~NetworkPort() override;
    NetworkPort(const NetworkPort&) = delete;
    NetworkPort& operator=(const NetworkPort&) = delete;

    // Null switches the report off.
    void SetTrafficCallback(ECRTextCallback callback) { m_reader.SetTrafficCallback(std::move(callback)); }

    bool Open() override;
    bool Close() override;
    bool Write(ECRString text) override;
    ECRString ReadUntil(ECRString terminator, std::int32_t timeoutMs) override;
    ECRString ReadCount(std::int32_t count, std::int32_t timeoutMs) override;
    // Does nothing: every read is given its own time-out.
    bool SetReadTimeout(std::int32_t timeoutMs) override;
    void PurgeInput() override;
    std::string Problem() const override { return m_problem; }

    // "host:port" ("[::1]:2000" for an IPv6 address).
    std::string Endpoint() const;
    // RFC 2217: what the server said to our requests so far.
    const TelnetCodec& Telnet() const { return m_telnet; }
    // RFC 2217: waits up to timeoutMs for the server to acknowledge the line
    // settings sent at Open (what comes meanwhile is kept for the reads);
    // true when it acknowledged all four.
    bool AwaitLineAcknowledged(int timeoutMs);

private:
    // The next byte (0..255), receiving as needed, or -1 when none comes within timeoutMs.
    int NextByte(std::int32_t timeoutMs);
    // Waits up to waitMs for bytes and takes them in; false when none came.
    // Throws CommError(9) when the connection is lost.
    bool Receive(int waitMs);
    // Sends every byte; throws CommError(code) when the connection is lost.
    void SendAll(const std::string& bytes, std::int32_t code);
    // Sets the server's line from the settings.
    void SendLineSettings();
    // Closes, remembers why, and throws code.
    [[noreturn]] void Fail(std::int32_t code, const std::string& why);
    // Fail with the last socket error's text.
    [[noreturn]] void FailOnError(std::int32_t code);

    SerialSettings m_settings;
    std::string m_host;
    int m_port;
    Protocol m_protocol;
    SocketHandle m_socket = SocketApi::kInvalid;
    TelnetCodec m_telnet;
    ByteReader m_reader;
    std::string m_received;  // data bytes not read yet, from m_offset on
    std::size_t m_offset = 0;
    std::string m_problem;
};
