#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The Telnet layer of a serial line reached through an RFC 2217 server: data
// with every IAC (0xFF) doubled, the option negotiation (binary both ways,
// no go-ahead, the COM port option), and the COM port option's commands and
// the server's answers to them. Bytes in, bytes out; no I/O.
class TelnetCodec {
public:
    static constexpr unsigned char IAC = 255;
    static constexpr unsigned char DONT = 254;
    static constexpr unsigned char DO = 253;
    static constexpr unsigned char WONT = 252;
    static constexpr unsigned char WILL = 251;
    static constexpr unsigned char SB = 250;
    static constexpr unsigned char SE = 240;

    static constexpr unsigned char BINARY = 0;
    static constexpr unsigned char SUPPRESS_GO_AHEAD = 3;
    static constexpr unsigned char COM_PORT_OPTION = 44;

    // COM port option commands, client to server; the server answers each
    // with the same command plus kServerOffset.
    static constexpr unsigned char SET_BAUDRATE = 1;
    static constexpr unsigned char SET_DATASIZE = 2;
    static constexpr unsigned char SET_PARITY = 3;
    static constexpr unsigned char SET_STOPSIZE = 4;
    static constexpr unsigned char SET_CONTROL = 5;
    static constexpr unsigned char PURGE_DATA = 12;
    static constexpr unsigned char kServerOffset = 100;

    // Whether the server agreed to an option we asked for.
    enum class Answer { Pending, Agreed, Refused };

    // Data for the wire: every IAC doubled.
    static std::string Escape(std::string_view data);
    // What the client says first: WILL and DO binary, WILL and DO suppress
    // go-ahead, WILL COM port option. The server's answers are then expected.
    std::string Opening();
    // IAC SB COM-PORT-OPTION command value IAC SE, the value escaped.
    static std::string ComPortCommand(unsigned char command, std::string_view value);

    // Takes bytes from the server: its data goes to data, what must be
    // answered (the negotiation) to replies, for sending at once.
    void Feed(std::string_view bytes, std::string& data, std::string& replies);

    // The server's answer to our WILL COM-PORT-OPTION.
    Answer ComPortOption() const { return m_comPort; }
    // The value the server last sent in answer to a command, if it did.
    std::optional<std::string> Acknowledged(unsigned char command) const;

private:
    enum class State { Data, Iac, Verb, Sub, SubIac };
    static constexpr std::size_t kMaxSub = 64;

    void Negotiate(unsigned char verb, unsigned char option, std::string& replies);
    void EndSub();

    State m_state = State::Data;
    unsigned char m_verb = 0;
    std::string m_sub;
    bool m_lastWasCr = false;
    // Per option: on at our end / at the server's end, and whether we asked.
    std::array<bool, 256> m_local{};
    std::array<bool, 256> m_remote{};
    std::array<bool, 256> m_localAsked{};
    std::array<bool, 256> m_remoteAsked{};
    Answer m_comPort = Answer::Pending;
    std::array<std::optional<std::string>, 256> m_acks{};
};
