// What a handler does with its Responder, seen from a client on loopback:
// answers later or at a deadline, learns that its client left, streams, and
// what the server answers for a handler that fails.
#include "LoopbackClient.h"
#include "ServerUnderTest.h"
#include "service/http/HttpStream.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kGet = "GET /wait HTTP/1.1\r\nHost: x\r\n\r\n";

HttpResponse Text(int status, std::string body)
{
    HttpResponse answer;
    answer.status = status;
    answer.body = std::move(body);
    return answer;
}

TEST(ResponderTest, AnswersWithTheFallbackWhenNothingCameByTheDeadline)
{
    std::mutex mutex;
    std::vector<Responder> waiting;
    std::atomic<int> fallbacks{0};
    ServerUnderTest server([&](HttpRequest request, Responder responder) {
        responder.SendAt(Clock::now() + 300ms, [&fallbacks] {
            ++fallbacks;
            return Text(200, "time is up");
        });
        if (request.query == "keep") {
            std::lock_guard<std::mutex> lock(mutex);
            waiting.push_back(responder);
        }
        // Otherwise every Responder is dropped: the fallback still answers.
    });

    for (const char* query : {"keep", "drop"}) {
        LoopbackClient client(server.Port());
        const auto start = Clock::now();
        ASSERT_TRUE(client.Send("GET /wait?" + std::string(query) + " HTTP/1.1\r\nHost: x\r\n\r\n"));
        auto answer = client.Receive();
        ASSERT_TRUE(answer) << query;
        EXPECT_EQ("time is up", answer->body);
        EXPECT_GE(Clock::now() - start, 280ms);
    }
    EXPECT_EQ(2, fallbacks);

    // An answer before the deadline wins; the fallback never runs.
    LoopbackClient client(server.Port());
    ASSERT_TRUE(client.Send("GET /wait?keep HTTP/1.1\r\nHost: x\r\n\r\n"));
    std::this_thread::sleep_for(100ms);
    {
        std::lock_guard<std::mutex> lock(mutex);
        waiting.back().Send(Text(200, "done"));
        waiting.back().Send(Text(500, "a second answer is ignored"));
    }
    auto answer = client.Receive();
    ASSERT_TRUE(answer);
    EXPECT_EQ("done", answer->body);
    EXPECT_FALSE(client.Receive(500));
    EXPECT_EQ(2, fallbacks);
}

TEST(ResponderTest, TellsAWaitingHandlerThatItsClientLeft)
{
    std::promise<Responder> handed;
    std::promise<void> abandoned;
    ServerUnderTest server([&](HttpRequest, Responder responder) {
        responder.OnAbandon([&abandoned] { abandoned.set_value(); });
        handed.set_value(responder);
    });
    auto client = std::make_unique<LoopbackClient>(server.Port());
    ASSERT_TRUE(client->Send(kGet));
    Responder responder = handed.get_future().get();
    client.reset();
    EXPECT_EQ(std::future_status::ready, abandoned.get_future().wait_for(2s));
    // An answer now goes nowhere; a callback given now is called at once.
    responder.Send(Text(200, "too late"));
    std::promise<void> late;
    responder.OnAbandon([&late] { late.set_value(); });
    EXPECT_EQ(std::future_status::ready, late.get_future().wait_for(2s));
}

TEST(ResponderTest, AnswersInternalForAHandlerThatFailsOrGivesNoAnswer)
{
    ServerUnderTest server([](HttpRequest request, Responder responder) {
        if (request.path == "/throws")
            throw std::runtime_error("a handler's fault");
        if (request.path == "/injects") {
            HttpResponse answer = Text(200, "");
            answer.headers.emplace_back("X-Note", "a\r\nSet-Cookie: stolen=1");
            responder.Send(answer);
        }
        if (request.path == "/status")
            responder.Send(Text(1000, ""));
        // "/drops": the Responder is dropped unanswered.
    });
    for (const char* path : {"/throws", "/injects", "/status", "/drops"}) {
        LoopbackClient client(server.Port());
        ASSERT_TRUE(client.Send("GET " + std::string(path) + " HTTP/1.1\r\nHost: x\r\n\r\n"));
        auto answer = client.Receive();
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(500, answer->status) << path;
        EXPECT_NE(std::string::npos, answer->body.find("\"code\": \"internal\"")) << path;
        EXPECT_EQ("", answer->Field("Set-Cookie")) << path;
        EXPECT_TRUE(client.ClosedWithin(2000)) << path;
    }
}

HttpResponse EventStreamHead()
{
    HttpResponse head;
    head.headers.emplace_back("Content-Type", "text/event-stream");
    return head;
}

TEST(ResponderTest, StreamsWhatIsPushedWithHeartbeatsUntilClosed)
{
    std::promise<std::shared_ptr<HttpStream>> started;
    ServerUnderTest server([&](HttpRequest, Responder responder) {
        started.set_value(responder.Stream(EventStreamHead(), 64 * 1024, 200ms));
        responder.Send(Text(200, "an answer after the stream is ignored"));
    });
    LoopbackClient client(server.Port());
    ASSERT_TRUE(client.Send(kGet));
    std::shared_ptr<HttpStream> stream = started.get_future().get();
    auto head = client.Receive();
    ASSERT_TRUE(head);
    EXPECT_EQ("HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\nConnection: close\r\n", head->HeadWithoutDate());

    EXPECT_TRUE(stream->Push("data: 1\n\n"));
    EXPECT_EQ("data: 1\n\n", client.ReceiveBytes(9));
    // Silence: a heartbeat.
    EXPECT_EQ(":\n\n", client.ReceiveBytes(3, 1000));
    EXPECT_TRUE(stream->Push("data: 2\n\n"));
    stream->Close();
    EXPECT_FALSE(stream->Open());
    EXPECT_FALSE(stream->Push("data: 3\n\n"));
    EXPECT_EQ("data: 2\n\n", client.ReceiveBytes(100, 1000));
    EXPECT_TRUE(client.ClosedWithin(2000));
}

TEST(ResponderTest, DropsAStreamWhoseClientFallsBehind)
{
    std::promise<std::shared_ptr<HttpStream>> started;
    ServerUnderTest server(
        [&](HttpRequest, Responder responder) { started.set_value(responder.Stream(EventStreamHead(), 64 * 1024)); });
    LoopbackClient client(server.Port());
    ASSERT_TRUE(client.Send(kGet));
    std::shared_ptr<HttpStream> stream = started.get_future().get();

    // The client reads nothing: once the socket's buffers are full, what
    // waits passes the stream's bound, and the producer is never held.
    const std::string chunk(16 * 1024, 'e');
    std::size_t pushed = 0;
    const auto start = Clock::now();
    while (stream->Push(chunk) && pushed < 256u * 1024 * 1024) {
        pushed += chunk.size();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    EXPECT_LT(pushed, 64u * 1024 * 1024);
    EXPECT_LT(Clock::now() - start, 10s);
    EXPECT_FALSE(stream->Open());
    EXPECT_TRUE(client.ClosedWithin(2000));
    EXPECT_EQ(1u, server.server->GetStats().streamsDropped);
}

}  // namespace
