#include "service/api/RequestScreen.h"

#include "service/http/HostHeader.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Equal texts, compared in a time that does not depend on where they differ.
bool SameSecret(const std::string& given, const std::string& expected)
{
    unsigned difference = given.size() == expected.size() ? 0u : 1u;
    for (std::size_t i = 0; i < given.size(); ++i)
        difference |= static_cast<unsigned char>(given[i]) ^
                      static_cast<unsigned char>(expected.empty() ? 0 : expected[i % expected.size()]);
    return difference == 0;
}

// The media type of a Content-Type value, without its parameters, in lower case.
std::string MediaType(const std::string& value)
{
    std::string type = Lower(value.substr(0, value.find(';')));
    const auto notSpace = [](unsigned char c) { return c != ' ' && c != '\t'; };
    type.erase(type.begin(), std::find_if(type.begin(), type.end(), notSpace));
    type.erase(std::find_if(type.rbegin(), type.rend(), notSpace).base(), type.end());
    return type;
}

bool HasBody(const HttpRequest& head)
{
    const std::string* length = head.headers.Find("Content-Length");
    return head.headers.Find("Transfer-Encoding") != nullptr || (length != nullptr && *length != "0");
}

}  // namespace

std::string RequestScreen::OwnOrigin(const HttpRequest& request)
{
    const std::string* host = request.headers.Find("Host");
    return std::string(request.tls ? "https://" : "http://") + (host != nullptr ? Lower(*host) : std::string());
}

bool RequestScreen::Allowed(const HttpRequest& request, const std::string& origin) const
{
    const auto& allowed = m_config.allowedOrigins;
    return Lower(origin) == OwnOrigin(request) || std::find(allowed.begin(), allowed.end(), origin) != allowed.end();
}

bool RequestScreen::IsConsoleFile(const HttpRequest& head)
{
    return head.method == "GET" && (head.path == "/" || head.path.rfind("/console/", 0) == 0);
}

std::optional<Problem> RequestScreen::Check(const HttpRequest& head)
{
    const std::string* hostHeader = head.headers.Find("Host");
    const std::optional<HostHeader> host = hostHeader ? HostHeader::Parse(*hostHeader) : std::nullopt;
    if (m_config.ListensOnLoopback() && (!host || !ServiceConfig::IsLoopback(host->host)))
        return Problem(Problem::Code::Forbidden, "this service answers only to a loopback host name");

    const std::string* origin = head.headers.Find("Origin");
    if (origin != nullptr && !Allowed(head, *origin))
        return Problem(Problem::Code::Forbidden, "the origin " + *origin + " is not allowed");
    // A browser says where a request comes from; another site needs an allowed Origin.
    if (const std::string* site = head.headers.Find("Sec-Fetch-Site")) {
        const bool ours = *site == "same-origin" || *site == "none";
        const bool allowedOrigin = origin != nullptr && Lower(*origin) != OwnOrigin(head);
        if (!ours && !allowedOrigin)
            return Problem(Problem::Code::Forbidden,
                           "a request from another site (" + *site + ") is served only from an allowed origin");
    }

    if (!m_config.token.empty() && !IsConsoleFile(head)) {
        if (std::optional<Problem> refused = CheckToken(head))
            return refused;
    }
    if (HasBody(head)) {
        const std::string* type = head.headers.Find("Content-Type");
        if (type == nullptr || MediaType(*type) != "application/json")
            return Problem(Problem::Code::UnsupportedMediaType,
                           "the body is \"" + (type != nullptr ? *type : std::string()) + "\", not application/json");
    }
    return std::nullopt;
}

std::optional<Problem> RequestScreen::CheckToken(const HttpRequest& head)
{
    const auto now = TokenGuard::Clock::now();
    if (m_guard.Blocked(head.peer, now))
        return Problem(Problem::Code::TooManyRequests,
                       "too many wrong tokens from " + head.peer + "; try again in a minute");
    const std::string* given = head.headers.Find("Authorization");
    const std::string scheme = "bearer ";
    if (given != nullptr && given->size() > scheme.size() && Lower(given->substr(0, scheme.size())) == scheme &&
        SameSecret(given->substr(scheme.size()), m_config.token))
        return std::nullopt;
    if (given != nullptr)
        m_guard.Wrong(head.peer, now);
    return Problem(Problem::Code::Unauthorized, "give the service's token as \"Authorization: Bearer TOKEN\"");
}
