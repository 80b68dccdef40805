#include "service/http/RequestParser.h"

#include "service/http/HostHeader.h"

#include <boost/beast/http/error.hpp>

namespace http = boost::beast::http;
using boost::beast::error_code;
using boost::beast::string_view;

namespace {

std::string Text(string_view view)
{
    return std::string(view.data(), view.size());
}

// A name for a message: as sent, but no longer than a line of a log.
std::string Shown(string_view name)
{
    return name.size() <= 64 ? Text(name) : Text(name.substr(0, 64)) + "...";
}

}  // namespace

RequestParser::RequestParser(const HttpServer::Limits& limits, std::string peer, bool tls) : m_limits(limits)
{
    header_limit(static_cast<std::uint32_t>(limits.maxHeaderBytes));
    body_limit(static_cast<std::uint64_t>(limits.maxBodyBytes));
    eager(true);
    m_request.peer = std::move(peer);
    m_request.tls = tls;
}

std::size_t RequestParser::Put(boost::asio::const_buffer buffer, error_code& ec)
{
    const bool inHeader = !is_header_done();
    const std::size_t used = put(buffer, ec);
    if (!inHeader || (ec && ec != http::error::need_more))
        return used;
    // Until the header ends, every byte given is the header's.
    m_headerBytes += used;
    const bool over = is_header_done() ? m_headerBytes > m_limits.maxHeaderBytes
                                       : m_headerBytes + (buffer.size() - used) >= m_limits.maxHeaderBytes;
    if (over)
        Refuse(Refusal::Kind::HeaderTooLarge, HeaderTooLarge(), ec);
    return used;
}

Refusal RequestParser::RefusalFor(const error_code& error) const
{
    if (m_refusal)
        return *m_refusal;
    if (error == http::error::header_limit)
        return {Refusal::Kind::HeaderTooLarge, HeaderTooLarge()};
    if (error == http::error::body_limit)
        return {Refusal::Kind::BodyTooLarge, "the body is over " + std::to_string(m_limits.maxBodyBytes) + " bytes"};
    if (error == http::error::bad_content_length || error == http::error::bad_transfer_encoding)
        return {Refusal::Kind::BadRequest,
                "the body's length is given twice or badly (Content-Length, Transfer-Encoding)"};
    return {Refusal::Kind::BadRequest, "not an HTTP request: " + error.message()};
}

std::string RequestParser::HeaderTooLarge() const
{
    return "the header is over " + std::to_string(m_limits.maxHeaderBytes) + " bytes";
}

void RequestParser::Refuse(Refusal::Kind kind, std::string detail, error_code& ec)
{
    m_refusal = Refusal{kind, std::move(detail)};
    ec = http::error::bad_value;
}

void RequestParser::on_request_impl(http::verb, string_view methodText, string_view target, int version, error_code& ec)
{
    if (version != 10 && version != 11)
        return Refuse(Refusal::Kind::BadRequest, "only HTTP/1.0 and HTTP/1.1 are served", ec);
    // "METHOD SP target SP HTTP/1.1"
    const std::size_t line = methodText.size() + target.size() + 10;
    if (line > m_limits.maxHeaderLine) {
        return Refuse(Refusal::Kind::HeaderTooLarge,
                      "the request line is " + std::to_string(line) + " bytes; at most " +
                          std::to_string(m_limits.maxHeaderLine) + " are taken",
                      ec);
    }
    m_request.method = Text(methodText);
    m_request.target = Text(target);
    const std::size_t question = target.find('?');
    m_request.path = Text(target.substr(0, question));
    m_request.query = question == string_view::npos ? std::string() : Text(target.substr(question + 1));
    m_request.version = version;
}

void RequestParser::on_field_impl(http::field field, string_view name, string_view value, error_code& ec)
{
    if (++m_fields > m_limits.maxHeaderFields) {
        return Refuse(Refusal::Kind::HeaderTooLarge,
                      "more than " + std::to_string(m_limits.maxHeaderFields) + " header fields", ec);
    }
    // "Name: value"
    const std::size_t line = name.size() + 2 + value.size();
    if (line > m_limits.maxHeaderLine) {
        return Refuse(Refusal::Kind::HeaderTooLarge,
                      "the field " + Shown(name) + " is " + std::to_string(line) + " bytes; at most " +
                          std::to_string(m_limits.maxHeaderLine) + " are taken",
                      ec);
    }
    if (field == http::field::transfer_encoding &&
        (m_request.version != 11 || !HttpHeaders::SameName(Text(value), "chunked"))) {
        return Refuse(Refusal::Kind::BadRequest, "the only transfer coding taken is chunked, alone, in HTTP/1.1", ec);
    }
    m_request.headers.Add(Text(name), Text(value));
}

void RequestParser::on_header_impl(error_code& ec)
{
    const std::size_t hosts = m_request.headers.Count("Host");
    if (hosts > 1)
        return Refuse(Refusal::Kind::BadRequest, "more than one Host field", ec);
    if (hosts == 0 && m_request.version == 11)
        return Refuse(Refusal::Kind::BadRequest, "an HTTP/1.1 request needs a Host field", ec);
    if (hosts == 1 && !HostHeader::Parse(*m_request.headers.Find("Host")))
        return Refuse(Refusal::Kind::BadRequest, "the Host field is not a host and port", ec);
    const std::string* expect = m_request.headers.Find("Expect");
    m_expectsContinue = m_request.version == 11 && expect && HttpHeaders::SameName(*expect, "100-continue");
}

std::size_t RequestParser::on_body_impl(string_view body, error_code&)
{
    m_request.body.append(body.data(), body.size());
    return body.size();
}

std::size_t RequestParser::on_chunk_body_impl(std::uint64_t, string_view body, error_code&)
{
    m_request.body.append(body.data(), body.size());
    return body.size();
}
