// What the edge holds, measured over loopback: a till's request among a
// thousand dripping connections and a header flood, a chunked body far over
// the limit, the time a kept connection's answer takes, and a stop with slow
// clients connected. The figures are printed for the record.
#include "EdgeAttack.h"
#include "LoopbackClient.h"
#include "ServerUnderTest.h"
#include "service/http/OpenFileLimit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kMiB = 1024 * 1024;

// A sanitizer's shadow memory and checks are no figure of the server's.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer) || __has_feature(thread_sanitizer);
#else
constexpr bool kSanitized = false;
#endif
const std::string kTillRequest = "GET /till HTTP/1.1\r\nHost: x\r\n\r\n";

double Milliseconds(Clock::duration time)
{
    return std::chrono::duration<double, std::milli>(time).count();
}

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

// One request on the connection and its answer: the milliseconds it took, or
// a day when it failed.
double Exchange(LoopbackClient& client)
{
    const auto start = Clock::now();
    if (!client.Send(kTillRequest) || !client.Receive())
        return 86400e3;
    return Milliseconds(Clock::now() - start);
}

TEST(HttpLoadTest, AnswersAKeptConnectionWellUnderAMillisecond)
{
    EchoHandler echo;
    ServerUnderTest server(echo());
    LoopbackClient client(server.Port());
    std::vector<double> times;
    for (int i = 0; i < 2000; ++i)
        times.push_back(Exchange(client));
    const double median = Percentile(times, 0.5);
    std::printf("kept connection, plain: median %.3f ms, p99 %.3f ms over %zu requests\n", median,
                Percentile(times, 0.99), times.size());
    EXPECT_LT(median, 1.0);
}

// A thousand connections that drip a header byte every 2 s and one that
// sends 100 MB of header fields (refused every 64 KiB), twice over; a till
// asks meanwhile, on its kept connection and on new ones.
TEST(HttpLoadTest, AnswersATillInTimeWhileSlowAndFloodingClientsHoldOn)
{
    if (kSanitized)
        GTEST_SKIP() << "memory and time are measured without sanitizers";
    if (OpenFileLimit::Raise() < 4096)
        GTEST_SKIP() << "this system allows fewer than 4096 open files";
    EchoHandler echo;
    ServerUnderTest server(echo());
    LoopbackClient till(server.Port());
    ASSERT_LT(Exchange(till), 1000.0);
    std::vector<std::size_t> resident = {ResidentBytes()};
    for (int round = 1; round <= 2; ++round) {
        std::vector<double> times;
        std::size_t peak = 0;
        {
            DripClients drips(server.Port(), 1000, 2s);
            HeaderFlood flood(server.Port(), 100 * kMiB);
            const auto end = Clock::now() + 5s;
            for (int i = 0; Clock::now() < end; ++i) {
                std::this_thread::sleep_for(20ms);
                if (i % 10 == 0) {
                    LoopbackClient fresh(server.Port());
                    times.push_back(Exchange(fresh));
                } else {
                    times.push_back(Exchange(till));
                }
                peak = std::max(peak, ResidentBytes());
            }
            EXPECT_TRUE(flood.Finish(30s)) << flood.Sent() << " bytes of header fields sent";
            EXPECT_GE(server.server->GetStats().connectionsOpen, 1000u);
        }
        // The attackers gone, their connections close.
        const auto settle = Clock::now() + 5s;
        while (server.server->GetStats().connectionsOpen > 1 && Clock::now() < settle)
            std::this_thread::sleep_for(50ms);
        resident.push_back(peak);
        resident.push_back(ResidentBytes());
        std::printf(
            "round %d: till median %.3f ms, worst %.3f ms over %zu requests; RSS %.1f MB before, %.1f MB "
            "at most, %.1f MB after\n",
            round, Percentile(times, 0.5), Percentile(times, 1.0), times.size(),
            static_cast<double>(resident[resident.size() - 3]) / 1e6, static_cast<double>(peak) / 1e6,
            static_cast<double>(resident.back()) / 1e6);
        EXPECT_LT(Percentile(times, 1.0), 50.0);
        EXPECT_LT(peak, 64 * kMiB);
    }
    EXPECT_EQ(1u, server.server->GetStats().connectionsOpen);
    // What the first round left is taken again by the second, not added to.
    EXPECT_LT(resident[4], resident[2] + kMiB);
    EXPECT_LT(resident[3], resident[1] + kMiB);
}

TEST(HttpLoadTest, RefusesAHugeChunkedBodyAtTheLimitWithoutBufferingIt)
{
    EchoHandler echo;
    ServerUnderTest server(echo());
    const std::size_t before = ResidentBytes();
    std::string why;
    const SocketHandle socket = SocketApi::Connect("127.0.0.1", server.Port(), 1000, why);
    ASSERT_NE(SocketApi::kInvalid, socket) << why;
    const std::string start = "POST /upload HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::string chunk = "10000\r\n" + std::string(0x10000, 'c') + "\r\n";
    std::atomic<std::size_t> sent{0};
    std::thread sender([&] {
        bool open = SocketApi::Send(socket, start.data(), start.size()) > 0;
        while (open && sent < 200 * kMiB) {
            const long count = SocketApi::Send(socket, chunk.data(), chunk.size());
            open = count > 0;
            sent += open ? static_cast<std::size_t>(count) : 0;
        }
    });
    std::string answer;
    const auto end = Clock::now() + 10s;
    while (answer.find("\r\n\r\n") == std::string::npos && Clock::now() < end) {
        char buffer[4096];
        const long got = SocketApi::Receive(socket, buffer, sizeof buffer);
        if (got <= 0)
            break;
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    const std::size_t sentAtAnswer = sent;
    const std::size_t peak = ResidentBytes();
    SocketApi::Close(socket);
    sender.join();
    std::printf("chunked 200 MiB: answered after %.1f MiB sent; RSS grew %.1f MB\n",
                static_cast<double>(sentAtAnswer) / kMiB, (static_cast<double>(peak) - before) / 1e6);
    EXPECT_EQ(0u, answer.rfind("HTTP/1.1 413 Payload Too Large\r\n", 0)) << answer;
    // The limit, what the socket buffers hold, and the lingering close's read.
    EXPECT_LT(sentAtAnswer, 32 * kMiB);
    EXPECT_LT(peak, before + 8 * kMiB);
    EXPECT_EQ(0, *echo.calls);
}

TEST(HttpLoadTest, StopsWithinTheGraceWhileSlowClientsHoldOn)
{
    std::promise<void> abandoned;
    std::mutex mutex;
    std::vector<Responder> unanswered;
    std::vector<std::thread> late;
    ServerUnderTest server([&](HttpRequest request, Responder responder) {
        std::lock_guard<std::mutex> lock(mutex);
        if (request.path == "/never") {
            responder.OnAbandon([&abandoned] { abandoned.set_value(); });
            unanswered.push_back(responder);
            return;
        }
        late.emplace_back([responder] {
            std::this_thread::sleep_for(300ms);
            HttpResponse answer;
            answer.body = "finished";
            responder.Send(answer);
        });
    });
    DripClients drips(server.Port(), 50, 100ms);
    LoopbackClient working(server.Port());
    LoopbackClient waiting(server.Port());
    LoopbackClient idle(server.Port());
    ASSERT_TRUE(working.Send("GET /work HTTP/1.1\r\nHost: x\r\n\r\n"));
    ASSERT_TRUE(waiting.Send("GET /never HTTP/1.1\r\nHost: x\r\n\r\n"));
    std::this_thread::sleep_for(200ms);

    const auto start = Clock::now();
    std::thread stopper([&] { server.server->Stop(1000ms); });
    std::this_thread::sleep_for(50ms);
    // The listener is closed first, the idle connection at once...
    EXPECT_FALSE(LoopbackClient(server.Port()).Connected());
    EXPECT_TRUE(idle.ClosedWithin(100));
    // ... the working one gets its answer, and closes.
    auto answer = working.Receive();
    ASSERT_TRUE(answer);
    EXPECT_EQ("finished", answer->body);
    EXPECT_EQ("close", answer->Field("Connection"));
    stopper.join();
    const double took = Milliseconds(Clock::now() - start);
    std::printf("stop with 50 dripping clients and an unanswered request: %.0f ms (grace 1000 ms)\n", took);
    EXPECT_LT(took, 1150.0);
    EXPECT_EQ(std::future_status::ready, abandoned.get_future().wait_for(0s));
    EXPECT_TRUE(waiting.ClosedWithin(100));
    for (std::thread& thread : late)
        thread.join();
}

}  // namespace
