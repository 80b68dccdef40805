#pragma once

#include "service/http/HttpResponse.h"

#include <string>

// One of the server's own refusals: answered as application/problem+json
// ({"type", "title", "status", "detail", "code"}, the type
// "urn:thermal:ecrd:problem:CODE") and with the connection closed.
struct Refusal {
    enum class Kind {
        BadRequest,      // 400 bad-request
        RequestTimeout,  // 408 request-timeout
        BodyTooLarge,    // 413 body-too-large
        HeaderTooLarge,  // 431 header-too-large
        Internal,        // 500 internal
        ServiceBusy,     // 503 service-busy
    };

    Kind kind;
    std::string detail;  // for people: what was wrong

    int Status() const;
    // The answer, with close set.
    HttpResponse Answer() const;
};
