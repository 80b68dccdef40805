#pragma once

#include "support/PseudoTerminal.h"

#include <cstdint>
#include <sstream>
#include <string>

// How a test running under Wine drives a pseudo-terminal that wine-pty-peer
// holds on the Linux side, over a TCP connection on the loopback interface
// (one connection per terminal; closing it ends the terminal). Every request
// is answered before the next one is sent.
//   request: operation byte, payload length (4 bytes, little-endian), payload
//   answer:  '+' or '-', payload length, payload (the result, or what failed)
namespace PtyPeerProtocol {

// Where the peer listens, "127.0.0.1:port"; set for the command it runs.
inline constexpr const char* kAddressVariable = "THERMAL_PTY_PEER";

enum Operation : char {
    kOpen = 'O',       // "port" or "program" (PseudoTerminal::Use); answer: the slave's path
    kMap = 'M',        // a port number: the Wine prefix's comN leads to the slave
    kSend = 'S',       // bytes for the port
    kReceive = 'R',    // "count quietMs"; answer: the bytes
    kReadLine = 'L',   // answer: baud, two stop bits, hardware flow, cooked flags, one per line
    kSlaveOpen = 'P',  // answer: "1" or "0"
    kHangUp = 'H',
};

inline constexpr char kDone = '+';
inline constexpr char kFailed = '-';
inline constexpr std::size_t kHeaderSize = 5;

inline std::string Header(char code, std::uint32_t length)
{
    std::string header(1, code);
    for (int shift = 0; shift < 32; shift += 8) {
        header.push_back(static_cast<char>((length >> shift) & 0xFF));
    }
    return header;
}

inline std::uint32_t Length(const std::string& header)
{
    std::uint32_t length = 0;
    for (int i = 4; i >= 1; --i) {
        length = (length << 8) | static_cast<unsigned char>(header[static_cast<std::size_t>(i)]);
    }
    return length;
}

inline std::string EncodeLine(const PseudoTerminal::LineSettings& line)
{
    return std::to_string(line.baud) + "\n" + (line.twoStopBits ? "1" : "0") + "\n" + (line.hardwareFlow ? "1" : "0") +
           "\n" + line.cooked;
}

inline PseudoTerminal::LineSettings DecodeLine(const std::string& text)
{
    PseudoTerminal::LineSettings line;
    std::istringstream in(text);
    std::string field;
    std::getline(in, field);
    line.baud = std::stoi(field);
    std::getline(in, field);
    line.twoStopBits = field == "1";
    std::getline(in, field);
    line.hardwareFlow = field == "1";
    std::getline(in, line.cooked);
    return line;
}

}  // namespace PtyPeerProtocol
