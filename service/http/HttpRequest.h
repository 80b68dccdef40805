#pragma once

#include "service/http/HttpHeaders.h"

#include <string>

// A request as the server read it. The Screen sees it with its header only
// (body empty); the Handler gets it whole.
struct HttpRequest {
    std::string method;   // as sent, e.g. "GET"
    std::string target;   // as sent, e.g. "/jobs/ab12?wait=500"
    std::string path;     // the target before '?', percent-decoding NOT applied
    std::string query;    // after '?', raw ("" when none)
    int version = 11;     // 10 for HTTP/1.0, 11 for HTTP/1.1
    HttpHeaders headers;  // case-insensitive names
    std::string body;     // empty in the screening call; the whole body in the handler call
    std::string peer;     // the client's address, text ("127.0.0.1", "::1")
    bool tls = false;     // it came over TLS
};
