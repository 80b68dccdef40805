// one-request-server: Boost.Beast's HTTP over Asio, built for Windows from
// Debian's Boost headers. It listens on a free port of 127.0.0.1, prints the
// port, answers one request with its method, target and body as JSON, and
// ends; scripts/test-windows asks it with curl from Linux.
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <cstdio>
#include <string>

namespace http = boost::beast::http;
using tcp = boost::asio::ip::tcp;

int main()
{
    try {
        boost::asio::io_context io;
        tcp::acceptor acceptor(io, {boost::asio::ip::make_address("127.0.0.1"), 0});
        std::printf("%u\n", static_cast<unsigned>(acceptor.local_endpoint().port()));
        std::fflush(stdout);
        tcp::socket socket(io);
        acceptor.accept(socket);
        boost::beast::flat_buffer buffer;
        http::request<http::string_body> request;
        http::read(socket, buffer, request);
        http::response<http::string_body> response{http::status::ok, request.version()};
        response.set(http::field::content_type, "application/json");
        // The test's values hold no character that JSON would escape.
        response.body() = "{\"method\":\"" + std::string(request.method_string()) + "\",\"target\":\"" +
                          std::string(request.target()) + "\",\"body\":\"" + request.body() + "\"}";
        response.prepare_payload();
        http::write(socket, response);
        socket.shutdown(tcp::socket::shutdown_both);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "one-request-server: %s\n", e.what());
        return 1;
    }
}
