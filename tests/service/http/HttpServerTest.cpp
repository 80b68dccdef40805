// The server over real sockets on loopback: requests on kept connections,
// the refusals that close a connection, deadlines, and the bounds on
// handlers and connections.
#include "LoopbackClient.h"
#include "ServerUnderTest.h"

#include <gtest/gtest.h>

#include <future>
#include <regex>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kSmuggled = "GET /smuggled HTTP/1.1\r\nHost: x\r\n\r\n";

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

long long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(HttpServerTest, AnswersTheRequestsOfAKeptConnectionInOrder)
{
    EchoHandler echo;
    ServerUnderTest server(echo());
    LoopbackClient client(server.Port());
    ASSERT_TRUE(client.Connected());

    ASSERT_TRUE(client.Send("GET /jobs/ab12?wait=500 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    auto first = client.Receive();
    ASSERT_TRUE(first);
    EXPECT_EQ("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 24\r\n", first->HeadWithoutDate());
    EXPECT_EQ("GET /jobs/ab12 wait=500 ", first->body);
    EXPECT_TRUE(
        std::regex_match(first->Field("Date"), std::regex("(Mon|Tue|Wed|Thu|Fri|Sat|Sun), \\d\\d [A-Z][a-z]{2} \\d{4} "
                                                          "\\d\\d:\\d\\d:\\d\\d GMT")))
        << first->Field("Date");

    // Two in one write: HEAD (its answer has the length of "HEAD /a  " but
    // no body), then one with a chunked body.
    ASSERT_TRUE(
        client.Send("HEAD /a HTTP/1.1\r\nHost: x\r\n\r\n"
                    "POST /b HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
                    "3\r\nhel\r\n2\r\nlo\r\n0\r\n\r\n"));
    auto second = client.Receive(2000, false);
    auto third = client.Receive();
    ASSERT_TRUE(second && third);
    EXPECT_EQ("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 9\r\n", second->HeadWithoutDate());
    EXPECT_EQ("POST /b  hello", third->body);
    EXPECT_FALSE(client.ClosedWithin(100));
    EXPECT_EQ(3, *echo.calls);
}

TEST(HttpServerTest, KeepsOrClosesTheConnectionAsTheRequestAsks)
{
    struct Case {
        std::string request;
        std::string connectionField;  // in the answer
        bool closed;
    };
    const Case cases[] = {
        {"GET /x HTTP/1.0\r\n\r\n", "close", true},
        {"GET /x HTTP/1.0\r\nConnection: keep-alive\r\n\r\n", "keep-alive", false},
        {"GET /x HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", "close", true},
        {"GET /x HTTP/1.1\r\nHost: x\r\n\r\n", "", false},
    };
    EchoHandler echo;
    ServerUnderTest server(echo());
    for (const Case& test : cases) {
        SCOPED_TRACE(test.request);
        LoopbackClient client(server.Port());
        ASSERT_TRUE(client.Send(test.request));
        auto answer = client.Receive();
        ASSERT_TRUE(answer);
        EXPECT_EQ(200, answer->status);
        EXPECT_EQ(test.connectionField, answer->Field("Connection"));
        EXPECT_EQ(test.closed, client.ClosedWithin(test.closed ? 2000 : 100));
    }
}

TEST(HttpServerTest, AsksForTheBodyOnlyOnceTheScreenPassedTheHeader)
{
    EchoHandler echo;
    ServerUnderTest server(echo(), {}, [](const HttpRequest& head) -> std::optional<HttpResponse> {
        if (head.path != "/forbidden")
            return std::nullopt;
        HttpResponse refusal;
        refusal.status = 403;
        return refusal;
    });
    const std::string expect = " HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nExpect: 100-continue\r\n\r\n";

    LoopbackClient passed(server.Port());
    ASSERT_TRUE(passed.Send("POST /e" + expect));
    auto interim = passed.Receive();
    ASSERT_TRUE(interim);
    EXPECT_EQ("HTTP/1.1 100 Continue\r\n", interim->head);
    ASSERT_TRUE(passed.Send("hello"));
    auto answer = passed.Receive();
    ASSERT_TRUE(answer);
    EXPECT_EQ("POST /e  hello", answer->body);

    LoopbackClient refused(server.Port());
    ASSERT_TRUE(refused.Send("POST /forbidden" + expect));
    auto refusal = refused.Receive();
    ASSERT_TRUE(refusal);
    EXPECT_EQ("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\nConnection: close\r\n", refusal->HeadWithoutDate());
    EXPECT_TRUE(refused.ClosedWithin(2000));
}

// Every refusal answers and closes the connection, so that what follows the
// refused request (here a whole request) is never read as a request.
TEST(HttpServerTest, RefusesWhatBreaksTheLimitsOrIsNotHttpAndCloses)
{
    struct Case {
        const char* name;
        std::string request;
        int status;
        std::string code;
    };
    const std::string get = "GET / HTTP/1.1\r\nHost: x\r\n";
    const Case cases[] = {
        {"request line over 8 KiB", "GET /" + std::string(9000, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n", 431,
         "header-too-large"},
        {"field over 8 KiB", get + "X-Long: " + std::string(8200, 'a') + "\r\n\r\n", 431, "header-too-large"},
        {"101 fields", get + Repeat("X-F: 1\r\n", 100) + "\r\n", 431, "header-too-large"},
        {"header over 64 KiB", get + Repeat("X-F: " + std::string(4000, 'a') + "\r\n", 17) + "\r\n", 431,
         "header-too-large"},
        {"chunked and a length", get + "Transfer-Encoding: chunked\r\nContent-Length: 5\r\n\r\n", 400, "bad-request"},
        {"a length and chunked", get + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n", 400, "bad-request"},
        {"another coding", get + "Transfer-Encoding: gzip, chunked\r\n\r\n", 400, "bad-request"},
        {"a coding in HTTP/1.0", "POST / HTTP/1.0\r\nTransfer-Encoding: chunked\r\n\r\n", 400, "bad-request"},
        {"two lengths", get + "Content-Length: 5\r\nContent-Length: 6\r\n\r\n", 400, "bad-request"},
        {"a length not a number", get + "Content-Length: 5x\r\n\r\n", 400, "bad-request"},
        {"no Host", "GET / HTTP/1.1\r\n\r\n", 400, "bad-request"},
        {"two Hosts", get + "Host: y\r\n\r\n", 400, "bad-request"},
        {"a Host that is not one", "GET / HTTP/1.1\r\nHost: [::1]evil.example\r\n\r\n", 400, "bad-request"},
        {"HTTP/2.0", "GET / HTTP/2.0\r\nHost: x\r\n\r\n", 400, "bad-request"},
        {"not HTTP", "HELLO\r\n\r\n", 400, "bad-request"},
        {"a length over the body limit", get + "Content-Length: 1048577\r\n\r\n", 413, "body-too-large"},
        {"a chunk over the body limit", get + "Transfer-Encoding: chunked\r\n\r\n100001\r\n", 413, "body-too-large"},
        {"chunks over the body limit",
         get + "Transfer-Encoding: chunked\r\n\r\n80000\r\n" + std::string(0x80000, 'a') + "\r\n80001\r\n", 413,
         "body-too-large"},
    };
    EchoHandler echo;
    ServerUnderTest server(echo());
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        LoopbackClient client(server.Port());
        ASSERT_TRUE(client.Send(test.request + kSmuggled));
        auto answer = client.Receive();
        ASSERT_TRUE(answer);
        EXPECT_EQ(test.status, answer->status);
        EXPECT_EQ("application/problem+json", answer->Field("Content-Type"));
        EXPECT_NE(std::string::npos, answer->body.find("\"code\": \"" + test.code + "\"")) << answer->body;
        EXPECT_EQ("close", answer->Field("Connection"));
        EXPECT_TRUE(client.ClosedWithin(2000));
    }
    EXPECT_EQ(0, *echo.calls);
    const HttpServer::Stats stats = server.server->GetStats();
    EXPECT_EQ((std::map<int, std::uint64_t>{{400, 11}, {413, 3}, {431, 4}}), stats.answersByStatus);

    // The first refusal's whole body, as written here.
    LoopbackClient client(server.Port());
    ASSERT_TRUE(client.Send(cases[0].request));
    auto answer = client.Receive();
    ASSERT_TRUE(answer);
    EXPECT_EQ(
        "{\"type\": \"urn:thermal:ecrd:problem:header-too-large\", \"title\": \"The request header is too large\", "
        "\"status\": 431, \"detail\": \"the request line is 9014 bytes; at most 8192 are taken\", "
        "\"code\": \"header-too-large\"}\n",
        answer->body);
    // At the limits themselves a request passes: 100 fields, a line of 8 KiB.
    LoopbackClient atLimits(server.Port());
    ASSERT_TRUE(atLimits.Send(get + Repeat("X-F: 1\r\n", 98) + "X-Long: " + std::string(8192 - 8, 'a') + "\r\n\r\n"));
    auto passed = atLimits.Receive();
    ASSERT_TRUE(passed);
    EXPECT_EQ(200, passed->status);
}

TEST(HttpServerTest, ClosesConnectionsThatAreSlowOrIdle)
{
    HttpServer::Limits limits;
    limits.headerDeadline = 1000ms;
    limits.idleTimeout = 1000ms;
    limits.bodyDeadline = 500ms;
    EchoHandler echo;
    ServerUnderTest server(echo(), limits);

    // A new connection that sends nothing is closed without an answer.
    LoopbackClient silent(server.Port());
    auto start = Clock::now();
    EXPECT_EQ("", silent.ReceiveBytes(1, 3000));
    EXPECT_TRUE(silent.ClosedWithin(100));
    EXPECT_GE(MillisecondsSince(start), 900);

    // A header that does not end in time: 408.
    LoopbackClient slowHeader(server.Port());
    start = Clock::now();
    ASSERT_TRUE(slowHeader.Send("GET / HTTP/1.1\r\nHost: x\r\n"));
    auto timeout = slowHeader.Receive(3000);
    ASSERT_TRUE(timeout);
    EXPECT_EQ(408, timeout->status);
    EXPECT_NE(std::string::npos, timeout->body.find("\"code\": \"request-timeout\""));
    EXPECT_GE(MillisecondsSince(start), 900);
    EXPECT_TRUE(slowHeader.ClosedWithin(2000));

    // A body that does not end in time: 408.
    LoopbackClient slowBody(server.Port());
    ASSERT_TRUE(slowBody.Send("POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 10\r\n\r\nabc"));
    timeout = slowBody.Receive(3000);
    ASSERT_TRUE(timeout);
    EXPECT_EQ(408, timeout->status);

    // A kept connection may wait for its next request up to the idle time;
    // from the request's first byte the header deadline counts instead.
    LoopbackClient kept(server.Port());
    ASSERT_TRUE(kept.Send("GET /1 HTTP/1.1\r\nHost: x\r\n\r\n"));
    ASSERT_TRUE(kept.Receive());
    std::this_thread::sleep_for(600ms);
    ASSERT_TRUE(kept.Send("G"));
    std::this_thread::sleep_for(700ms);
    ASSERT_TRUE(kept.Send("ET /2 HTTP/1.1\r\nHost: x\r\n\r\n"));
    auto second = kept.Receive();
    ASSERT_TRUE(second);
    EXPECT_EQ("GET /2  ", second->body);
    // ... and is then closed without an answer.
    start = Clock::now();
    EXPECT_EQ("", kept.ReceiveBytes(1, 3000));
    EXPECT_TRUE(kept.ClosedWithin(100));
    EXPECT_GE(MillisecondsSince(start), 900);
    EXPECT_EQ(2, *echo.calls);
}

TEST(HttpServerTest, AnswersBusyWhenTooManyRequestsWaitForAHandler)
{
    HttpServer::Limits limits;
    limits.handlerThreads = 1;
    limits.maxPendingHandlers = 1;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    ServerUnderTest server(
        [released](HttpRequest request, Responder responder) {
            released.wait();
            HttpResponse answer;
            answer.body = request.path;
            responder.Send(answer);
        },
        limits);

    // One runs, one waits, the third is one too many.
    LoopbackClient running(server.Port());
    LoopbackClient waiting(server.Port());
    LoopbackClient refused(server.Port());
    LoopbackClient* clients[] = {&running, &waiting, &refused};
    const std::string paths[] = {"/running", "/waiting", "/refused"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(clients[i]->Send("GET " + paths[i] + " HTTP/1.1\r\nHost: x\r\n\r\n"));
        std::this_thread::sleep_for(100ms);
    }
    auto busy = refused.Receive();
    ASSERT_TRUE(busy);
    EXPECT_EQ(503, busy->status);
    EXPECT_NE(std::string::npos, busy->body.find("\"code\": \"service-busy\""));
    EXPECT_TRUE(refused.ClosedWithin(2000));

    release.set_value();
    auto first = running.Receive();
    auto second = waiting.Receive();
    ASSERT_TRUE(first && second);
    EXPECT_EQ("/running", first->body);
    EXPECT_EQ("/waiting", second->body);
}

TEST(HttpServerTest, ClosesConnectionsBeyondTheLimitAtOnce)
{
    HttpServer::Limits limits;
    limits.maxConnections = 2;
    EchoHandler echo;
    ServerUnderTest server(echo(), limits);
    LoopbackClient first(server.Port());
    LoopbackClient second(server.Port());
    ASSERT_TRUE(first.Send("GET / HTTP/1.1\r\nHost: x\r\n\r\n"));
    ASSERT_TRUE(first.Receive());
    LoopbackClient third(server.Port());
    EXPECT_TRUE(third.ClosedWithin(1000));
    EXPECT_FALSE(second.ClosedWithin(100));
    const HttpServer::Stats stats = server.server->GetStats();
    EXPECT_EQ(3u, stats.connectionsAccepted);
    EXPECT_EQ(2u, stats.connectionsOpen);
}

TEST(HttpServerTest, BindsOneServerPerAddressAndSaysWhyNot)
{
    EchoHandler echo;
    HttpServer::Options options;
    options.host = "localhost";
    HttpServer first(options, nullptr, echo());
    std::string error;
    ASSERT_TRUE(first.Bind(error)) << error;
    first.Start();
    // localhost is both loopbacks.
    for (const char* address : {"127.0.0.1", "::1"}) {
        LoopbackClient client(first.Port(), "", address);
        ASSERT_TRUE(client.Send("GET /l HTTP/1.1\r\nHost: localhost\r\n\r\n")) << address;
        auto answer = client.Receive();
        ASSERT_TRUE(answer) << address;
        EXPECT_EQ("GET /l  ", answer->body);
    }

    options.host = "127.0.0.1";
    options.port = first.Port();
    HttpServer second(options, nullptr, echo());
    EXPECT_FALSE(second.Bind(error));
    EXPECT_EQ("cannot listen on 127.0.0.1:" + std::to_string(first.Port()) + ": Address already in use", error);

    options.host = "ecrd.example";
    HttpServer named(options, nullptr, echo());
    EXPECT_FALSE(named.Bind(error));
    EXPECT_EQ("cannot listen on ecrd.example: not a numeric address or localhost", error);
    EXPECT_THROW(named.Start(), std::logic_error);
}

}  // namespace
