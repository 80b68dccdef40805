#pragma once

#include "service/api/TokenGuard.h"
#include "service/config/ServiceConfig.h"
#include "service/http/HttpRequest.h"
#include "service/jobs/Problem.h"

#include <optional>
#include <string>

// Who may call ecrd, decided from a request's header before its body is
// read (a refusal closes the connection, so nothing of it is read as a
// request):
// - a loopback service answers only to a loopback host name, so that a page
//   elsewhere cannot reach it through a name of its own (DNS rebinding);
// - a browser's request from another site is refused unless its Origin is
//   one of allowedOrigins: an Origin that is neither that nor the service's
//   own, or fetch metadata (Sec-Fetch-Site) that says cross-site or
//   same-site without such an Origin; requests without these headers
//   (curl, tills) are served;
// - with a token configured, every request but the console's own files
//   carries it ("Authorization: Bearer TOKEN"); wrong tokens are counted
//   per address (TokenGuard);
// - a body is application/json.
class RequestScreen {
public:
    explicit RequestScreen(const ServiceConfig& config) : m_config(config) {}

    // The problem that refuses the request, or none.
    std::optional<Problem> Check(const HttpRequest& head);

    // The service's own origin as the request names it ("http://127.0.0.1:8765").
    static std::string OwnOrigin(const HttpRequest& request);
    // Whether a browser may read the answer from Origin (the service's own, or an allowed one).
    bool Allowed(const HttpRequest& request, const std::string& origin) const;
    // The files of the console: the page asks for the token itself.
    static bool IsConsoleFile(const HttpRequest& head);

private:
    std::optional<Problem> CheckToken(const HttpRequest& head);

    const ServiceConfig& m_config;
    TokenGuard m_guard;
};
