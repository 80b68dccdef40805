#pragma once

#include "service/http/HttpRequest.h"
#include "service/http/HttpServer.h"
#include "service/http/Refusal.h"

#include <boost/asio/buffer.hpp>
#include <boost/beast/http/basic_parser.hpp>
#include <cstddef>
#include <optional>
#include <string>

// One request's parser: Beast's, with the server's limits set once, filling
// an HttpRequest as it reads. Beyond Beast's own checks it refuses a header
// over maxHeaderBytes in all, a header line over maxHeaderLine or more than
// maxHeaderFields fields (431), a
// transfer coding other than chunked alone (Beast would read such a body as
// none, and the body as the next request), an HTTP/1.1 request without
// exactly one Host field or with one that is not a host, and HTTP versions
// other than 1.0 and 1.1 (400). After a failed put(), RefusalFor says what to
// answer.
class RequestParser : public boost::beast::http::basic_parser<true> {
public:
    RequestParser(const HttpServer::Limits& limits, std::string peer, bool tls);

    // put(), with the header's size counted across calls: Beast (1.74)
    // bounds only the part of a header that one call leaves unparsed, so a
    // header that arrives in pieces would otherwise grow without end.
    std::size_t Put(boost::asio::const_buffer buffer, boost::beast::error_code& ec);
    // The request read so far: its header once is_header_done(), its body
    // once is_done().
    HttpRequest& Request() { return m_request; }
    // The refusal for the error put() gave.
    Refusal RefusalFor(const boost::beast::error_code& error) const;
    // The client waits for "100 Continue" before it sends the body.
    bool ExpectsContinue() const { return m_expectsContinue; }

private:
    void Refuse(Refusal::Kind kind, std::string detail, boost::beast::error_code& ec);
    std::string HeaderTooLarge() const;

    void on_request_impl(boost::beast::http::verb method, boost::beast::string_view methodText,
                         boost::beast::string_view target, int version, boost::beast::error_code& ec) override;
    void on_response_impl(int, boost::beast::string_view, int, boost::beast::error_code&) override {}
    void on_field_impl(boost::beast::http::field field, boost::beast::string_view name, boost::beast::string_view value,
                       boost::beast::error_code& ec) override;
    void on_header_impl(boost::beast::error_code& ec) override;
    void on_body_init_impl(const boost::optional<std::uint64_t>&, boost::beast::error_code&) override {}
    std::size_t on_body_impl(boost::beast::string_view body, boost::beast::error_code& ec) override;
    void on_chunk_header_impl(std::uint64_t, boost::beast::string_view, boost::beast::error_code&) override {}
    std::size_t on_chunk_body_impl(std::uint64_t remain, boost::beast::string_view body,
                                   boost::beast::error_code& ec) override;
    void on_finish_impl(boost::beast::error_code&) override {}

    const HttpServer::Limits& m_limits;
    HttpRequest m_request;
    std::size_t m_fields = 0;
    std::size_t m_headerBytes = 0;
    bool m_expectsContinue = false;
    std::optional<Refusal> m_refusal;
};
