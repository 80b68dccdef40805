#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Picks request frames (ESC 'P' body ESC '\') and ENQ bytes out of the byte
// stream from the client. Bytes outside a frame other than ENQ (ACK, NAK,
// noise) are dropped. A new ESC 'P' inside a frame restarts the frame, so a
// client that gave up half-way is not held up; an over-long frame is dropped
// up to its closer, its bytes never taken for ENQ or noise.
class SimFrameReader {
public:
    struct Event {
        enum class Kind { Enq, Frame };
        Kind kind = Kind::Enq;
        std::string payload;       // body without the two checksum digits
        bool checksumOk = false;   // the body ended in the payload's checksum
    };

    static constexpr std::size_t kMaxBody = 8192;

    // Feeds one byte; returns an event when the byte completes one.
    std::optional<Event> Push(char byte);

    // True while a frame has been opened and not yet closed.
    bool InFrame() const { return m_state != State::Idle && m_state != State::Escape; }

private:
    enum class State { Idle, Escape, Body, BodyEscape, Skip, SkipEscape };

    std::optional<Event> Finish();

    State m_state = State::Idle;
    std::string m_body;
};
