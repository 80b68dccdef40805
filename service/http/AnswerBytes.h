#pragma once

#include "service/http/HttpResponse.h"

#include <string>

// An answer's bytes on the wire, made in one piece so that it goes out in
// one write (with Nagle's delay off, a header and body written apart would
// be two segments, and the client's delayed ACK would hold the second).
class AnswerBytes {
public:
    // What the answer says of the connection.
    enum class Connection {
        Keep,         // HTTP/1.1: nothing (the connection stays)
        KeepAlive10,  // HTTP/1.0 that asked to keep it: "Connection: keep-alive"
        Close,        // "Connection: close"
    };

    // True when HTTP can carry the answer: a status from 200 to 599, field
    // names that are tokens, values without control characters (CR and LF
    // above all, which would let a value start another field or answer).
    static bool Valid(const HttpResponse& answer);
    // The status line; the answer's fields (but Content-Length,
    // Transfer-Encoding, Connection and Date, which are the server's);
    // Content-Length (none for 204 and 304), Date, Connection; the blank
    // line; and the body, unless `withBody` is false (an answer to HEAD).
    static std::string Of(const HttpResponse& answer, bool withBody, Connection connection);
    // A stream's head: as Of, but without Content-Length and with
    // "Connection: close" (the stream ends when the connection does).
    static std::string StreamHead(const HttpResponse& head);

private:
    static std::string Head(const HttpResponse& answer);
};
