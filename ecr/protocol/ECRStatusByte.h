#pragma once

// What the register's one-byte answer to ENQ says: 0x06 (ACK) when it is
// ready; a byte with both top bits set (0xC0 and up) while it is busy, still
// at work on a request (printing). It sends no other.
class ECRStatusByte {
public:
    enum class Meaning { Ready, Busy, Unknown };

    static Meaning Of(unsigned char byte);
    // One word for scripts: "ready", "busy", "unknown".
    static const char* Name(Meaning meaning);
    // For a line: "ready", "busy", "not a status byte the register sends".
    static const char* Describe(Meaning meaning);
};
