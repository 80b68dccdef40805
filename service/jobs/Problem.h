#pragma once

#include "service/jobs/NameTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Why a request or a job did not do what it was asked: a stable code that a
// program may branch on (with its HTTP status and a title for people), the
// detail in words, whether anything reached the register, and for a
// refusal the register's own code and message. The API shows it as
// application/problem+json (RFC 9457).
class Problem {
public:
    enum class Code {
        BadRequest,             // 400 the request is malformed or holds a value the register cannot take
        IdempotencyKeyMissing,  // 400 a POST without an Idempotency-Key
        Unauthorized,           // 401 no or a wrong bearer token
        Forbidden,              // 403 an origin or host this service does not serve
        NotFound,               // 404 no such register, job or path
        MethodNotAllowed,       // 405
        IdempotencyConflict,    // 409 the key was used for another request
        BodyTooLarge,           // 413
        UnsupportedMediaType,   // 415 a body that is not application/json
        Refused,                // 422 the register refused (registerCode, registerMessage)
        TooManyRequests,        // 429 too many wrong tokens from one address
        Internal,               // 500 the service itself failed
        OutcomeUnknown,         // 502 the register did not answer; whether it did it is unknown
        LinkFailure,            // 503 the register cannot be reached
        RegisterBusy,           // 503 too many jobs wait for the register
        ServiceStopped,         // 503 the service stopped before the job ran
        TooLate,                // 503 the job did not start within maxStartDelayMs of its arrival
        JournalUnavailable,     // 503 the journal cannot be written: no fiscal job starts
        TooManyStreams,         // 503 as many event streams are open as the service keeps
    };
    // Whether any request of the job reached the register.
    enum class Sent { Nothing, Something };

    Problem(Code code, std::string detail, Sent sent = Sent::Nothing);

    Code GetCode() const { return m_code; }
    const std::string& Detail() const { return m_detail; }
    Sent WhatWasSent() const { return m_sent; }
    Problem& SetSent(Sent sent);
    // Adds "; more" to the detail.
    Problem& AddDetail(const std::string& more);
    // A refusal: the register's code and its message (UTF-8).
    Problem& SetRefusal(std::int32_t registerCode, std::string registerMessage);
    const std::optional<std::int32_t>& RegisterCode() const { return m_registerCode; }
    // Each fault of a request at its place (a JSON pointer into the body).
    struct Fault {
        std::string pointer;
        std::string detail;
    };
    Problem& SetErrors(std::vector<Fault> errors);
    const std::vector<Fault>& Errors() const { return m_errors; }
    const std::string& RegisterMessage() const { return m_registerMessage; }
    // True only when nothing reached the register and the same request may
    // succeed later (the link, the queue, the journal, the service).
    bool Retryable() const;

    // Every code, in the order above (README.md's table lists each).
    static std::vector<Code> All();
    // "bad-request", ...: the stable name; none for a name not known.
    static std::string_view Name(Code code);
    static std::optional<Code> Find(std::string_view name);
    static int Status(Code code);
    static std::string_view Title(Code code);

private:
    Code m_code;
    std::string m_detail;
    Sent m_sent;
    std::optional<std::int32_t> m_registerCode;
    std::string m_registerMessage;
    std::vector<Fault> m_errors;
};

inline constexpr NameTable<Problem::Sent, 2> kSentNames{{{
    {Problem::Sent::Nothing, "nothing"},
    {Problem::Sent::Something, "something"},
}}};
