#include "service/http/AnswerBytes.h"

#include "service/http/HttpHeaders.h"

#include <algorithm>
#include <boost/beast/http/status.hpp>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

bool IsTokenChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           (c != '\0' && std::strchr("!#$%&'*+-.^_`|~", c) != nullptr);
}

bool IsFieldValue(const std::string& value)
{
    for (unsigned char c : value) {
        if ((c < 0x20 && c != '\t') || c == 0x7f)
            return false;
    }
    return true;
}

bool IsServersField(const std::string& name)
{
    for (const char* own : {"Content-Length", "Transfer-Encoding", "Connection", "Date"}) {
        if (HttpHeaders::SameName(name, own))
            return true;
    }
    return false;
}

bool HasNoBody(int status)
{
    return status == 204 || status == 304;
}

// "Sun, 06 Nov 1994 08:49:37 GMT", made again once a second.
const std::string& DateNow()
{
    using namespace std::chrono;
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    thread_local sys_seconds made;
    thread_local std::string text;
    const sys_seconds now = floor<seconds>(system_clock::now());
    if (text.empty() || now != made) {
        const sys_days day = floor<days>(now);
        const year_month_day date{day};
        const hh_mm_ss time{now - day};
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%s, %02u %s %04d %02d:%02d:%02d GMT", kDays[weekday{day}.c_encoding()],
                      static_cast<unsigned>(date.day()), kMonths[static_cast<unsigned>(date.month()) - 1],
                      static_cast<int>(date.year()), static_cast<int>(time.hours().count()),
                      static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
        text = buffer;
        made = now;
    }
    return text;
}

}  // namespace

bool AnswerBytes::Valid(const HttpResponse& answer)
{
    if (answer.status < 200 || answer.status > 599)
        return false;
    for (const auto& [name, value] : answer.headers) {
        if (name.empty() || !std::all_of(name.begin(), name.end(), IsTokenChar) || !IsFieldValue(value))
            return false;
    }
    return true;
}

std::string AnswerBytes::Head(const HttpResponse& answer)
{
    namespace http = boost::beast::http;
    const http::status status = http::int_to_status(static_cast<unsigned>(answer.status));
    std::string bytes = "HTTP/1.1 " + std::to_string(answer.status) + " ";
    if (status != http::status::unknown) {
        const auto reason = http::obsolete_reason(status);
        bytes.append(reason.data(), reason.size());
    }
    bytes += "\r\n";
    for (const auto& [name, value] : answer.headers) {
        if (!IsServersField(name))
            bytes += name + ": " + value + "\r\n";
    }
    bytes += "Date: " + DateNow() + "\r\n";
    return bytes;
}

std::string AnswerBytes::Of(const HttpResponse& answer, bool withBody, Connection connection)
{
    std::string bytes = Head(answer);
    const bool bodiless = HasNoBody(answer.status);
    if (!bodiless)
        bytes += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    if (connection == Connection::Close)
        bytes += "Connection: close\r\n";
    else if (connection == Connection::KeepAlive10)
        bytes += "Connection: keep-alive\r\n";
    bytes += "\r\n";
    if (withBody && !bodiless)
        bytes += answer.body;
    return bytes;
}

std::string AnswerBytes::StreamHead(const HttpResponse& head)
{
    return Head(head) + "Connection: close\r\n\r\n";
}
