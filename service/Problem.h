#pragma once

#include "ecr/files/JsonValue.h"

#include <string>

// An error answer of ecrd as application/problem+json (RFC 9457), with a
// stable "code" per kind that a program may branch on; "title" and
// "detail" are for people. Extension members (the register's code and
// text, the receipt's outcome, what was seen) go into Extra().
class Problem {
public:
    enum class Code {
        BadRequest,             // 400 the request is malformed or holds a value the register cannot take; nothing sent
        IdempotencyKeyMissing,  // 400 a POST without an Idempotency-Key
        Unauthorized,           // 401 no or a wrong bearer token
        Forbidden,              // 403 an origin or host this service does not serve
        NotFound,               // 404 no such register, job or path
        MethodNotAllowed,       // 405
        IdempotencyConflict,    // 409 the key was used for another request
        BodyTooLarge,           // 413
        UnsupportedMediaType,   // 415 a body that is not application/json
        Refused,                // 422 the register refused (registerCode, registerMessage)
        Internal,               // 500 the service itself failed (its journal, say)
        OutcomeUnknown,         // 502 the register did not answer; whether it did it is unknown
        LinkFailure,            // 503 the register cannot be reached; what was sent is said
        RegisterBusy,           // 503 too many jobs wait for the register
        ServiceStopped,         // 503 the service stopped before the job ran; nothing sent
    };

    Problem(Code code, std::string detail);

    Code GetCode() const { return m_code; }
    const std::string& Detail() const { return m_detail; }
    JsonValue& Extra() { return m_extra; }

    // "bad-request", ...: the stable name.
    static const char* Name(Code code);
    static int Status(Code code);
    static const char* Title(Code code);

    // {"type", "title", "status", "detail", "code", extras...}.
    JsonValue ToJson() const;

private:
    Code m_code;
    std::string m_detail;
    JsonValue m_extra = JsonValue::Object();
};
