#include "service/http/Refusal.h"

#include <cstdio>

namespace {

struct KindText {
    int status;
    const char* code;
    const char* title;
};

// In the order of Refusal::Kind.
constexpr KindText kKinds[] = {
    {400, "bad-request", "The request is not valid HTTP"},
    {408, "request-timeout", "The request did not arrive in time"},
    {413, "body-too-large", "The request body is too large"},
    {431, "header-too-large", "The request header is too large"},
    {500, "internal", "The service failed"},
    {503, "service-busy", "The service is busy; try again shortly"},
};

const KindText& TextOf(Refusal::Kind kind)
{
    return kKinds[static_cast<int>(kind)];
}

// A JSON string's contents.
std::string Escaped(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

int Refusal::Status() const
{
    return TextOf(kind).status;
}

HttpResponse Refusal::Answer() const
{
    const KindText& text = TextOf(kind);
    HttpResponse answer;
    answer.status = text.status;
    answer.headers.emplace_back("Content-Type", "application/problem+json");
    answer.body = std::string("{\"type\": \"urn:thermal:ecrd:problem:") + text.code + "\", \"title\": \"" + text.title +
                  "\", \"status\": " + std::to_string(text.status) + ", \"detail\": \"" + Escaped(detail) +
                  "\", \"code\": \"" + text.code + "\"}\n";
    answer.close = true;
    return answer;
}
