#pragma once

#include <string>
#include <utility>
#include <vector>

// An answer to give. The server adds Content-Length (from the body), Date and
// Connection itself: fields of those names given here are left out.
struct HttpResponse {
    int status = 200;                                          // 200 to 599
    std::vector<std::pair<std::string, std::string>> headers;  // names and values as they go out
    std::string body;
    bool close = false;  // close the connection after this answer
};
