// The event stream and the session logs over real sockets: a stream that
// watches a register gets its receipt's frames decoded as the desktop
// program's monitor shows them and the job's changes in order, one that does
// not gets the jobs alone; a client that stops reading is dropped while the
// receipts go on at their pace; the logs are served by their exact names
// only.
#include "EcrdFixture.h"
#include "service/http/LoopbackClient.h"

#include <arpa/inet.h>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A stream's client: the request sent, and what came read until a text appears.
class EventClient {
public:
    EventClient(int port, const std::string& query) : m_client(port)
    {
        m_client.Send("GET /events" + query + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    }
    // Everything received so far once `text` is among it (or the time is up).
    const std::string& Until(const std::string& text, int timeoutMs = 10000)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        std::size_t from = 0;
        while (m_seen.find(text, from) == std::string::npos && Clock::now() < deadline) {
            from = m_seen.size() > text.size() ? m_seen.size() - text.size() : 0;
            m_seen += m_client.ReceiveBytes(1, 50);
        }
        return m_seen;
    }
    // Reads what comes for a while, as a page does between the events it waits for.
    const std::string& Read(int ms)
    {
        m_seen += m_client.ReceiveBytes(std::size_t(1) << 30, ms);
        return m_seen;
    }

private:
    LoopbackClient m_client;
    std::string m_seen;
};

// A client that asks for the stream with a small receive buffer and never reads.
class StalledClient {
public:
    explicit StalledClient(int port)
    {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        const int small = 4096;
        setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        const std::string request = "GET /events?watch=kasa1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        m_connected = m_connected && send(m_socket, request.data(), request.size(), 0) == ssize_t(request.size());
    }
    ~StalledClient() { close(m_socket); }
    bool Connected() const { return m_connected; }

private:
    int m_socket = -1;
    bool m_connected = false;
};

std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &local);
    return date;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

}  // namespace

TEST_F(EcrdTest, AWatchingStreamGetsTheReceiptsFramesAndEveryStreamItsJob)
{
    AddRegisters(2);
    StartEcrd(Config());
    EventClient watching(ecrd.Port(), "?watch=kasa1");
    EventClient other(ecrd.Port(), "");
    // Every register's status first.
    const std::string& start = watching.Until("\"id\":\"kasa2\"");
    ASSERT_EQ(start.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << start;
    EXPECT_NE(start.find("Content-Type: text/event-stream\r\n"), std::string::npos);
    EXPECT_NE(start.find("\r\n\r\nevent: register\ndata: {\"id\":\"kasa1\",\"port\":"), std::string::npos) << start;
    other.Until("\"id\":\"kasa2\"");

    ASSERT_EQ(Receipt("sale-1", kTwoLines).status, 200);
    const std::string& seen = watching.Until("\"state\":\"done\"");
    // The job, in order, its key when it was queued.
    const std::size_t queued = seen.find("event: job\ndata: {\"id\":\"");
    ASSERT_NE(queued, std::string::npos);
    EXPECT_NE(seen.find("\"kind\":\"receipt\",\"state\":\"queued\",\"key\":\"sale-1\""), std::string::npos) << seen;
    const std::size_t running = seen.find("\"state\":\"running\"");
    const std::size_t done = seen.find("\"state\":\"done\",\"outcome\":\"printed\"");
    EXPECT_LT(queued, running);
    EXPECT_LT(running, done);
    // The frames, decoded as the monitor's "Dekodirano" box shows them.
    EXPECT_NE(seen.find("event: traffic\ndata: {\"register\":\"kasa1\",\"at\":\""), std::string::npos);
    for (const char* line :
         {R"("direction":"PC -> ECR","line":"*t pocetak transakcije: registerNumber=1 cashier=7  cs=A7"})",
          R"("direction":"ECR -> PC","line":"*u medjuzbir: subtotal=70.50  cs=A2 ok  code=0 Operacija je uspesna"})",
          R"("direction":"PC -> ECR","line":"*e placanje: cash=100.00 cheque=0.00 card=0.00  cs=88"})"})
        EXPECT_NE(seen.find(line), std::string::npos) << line << "\n" << seen;

    // The other stream: the same job, no traffic; a receipt on kasa2 has no frames on the first.
    const std::string& jobsOnly = other.Until("\"state\":\"done\"");
    EXPECT_NE(jobsOnly.find("\"key\":\"sale-1\""), std::string::npos);
    EXPECT_EQ(jobsOnly.find("event: traffic"), std::string::npos);
    ASSERT_EQ(Receipt("sale-2", kTwoLines, 2).status, 200);
    const std::string& both = watching.Until("\"register\":\"kasa2\",\"kind\":\"receipt\",\"state\":\"done\"");
    EXPECT_NE(both.find("\"key\":\"sale-2\""), std::string::npos);
    EXPECT_EQ(both.find("\"register\":\"kasa2\",\"at\""), std::string::npos) << "kasa2 is not watched";

    // Unknown registers and parameters are refused before any stream.
    EXPECT_EQ(Send("GET", "/events?watch=kasa1,kasa9").status, 404);
    EXPECT_EQ(Send("GET", "/events?since=1").status, 400);
}

TEST_F(EcrdTest, AClientThatStopsReadingIsDroppedAndTheReceiptsGoOnAtTheirPace)
{
    AddRegisters(1);
    StartEcrd(Config());
    const auto receipts = [&](int count, const std::string& prefix) {
        const auto start = Clock::now();
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(Receipt(prefix + std::to_string(i), kTwoLines).status, 200);
        return (Clock::now() - start) / count;
    };
    const auto alone = receipts(10, "alone-");
    const auto dropped = [&] {
        const std::string metrics = client->Get("/metrics")->body;
        return metrics.find("ecrd_http_streams_dropped_total 1\n") != std::string::npos;
    };

    StalledClient stalled(ecrd.Port());
    ASSERT_TRUE(stalled.Connected());
    EventClient reading(ecrd.Port(), "?watch=kasa1");
    reading.Until("\"id\":\"kasa1\"");
    int sent = 0;
    std::chrono::steady_clock::duration slowest{};
    while (!dropped() && sent < 1000) {
        const auto start = Clock::now();
        ASSERT_EQ(Receipt("stalled-" + std::to_string(sent++), kTwoLines).status, 200);
        slowest = std::max(slowest, Clock::now() - start);
        reading.Read(5);
    }
    EXPECT_TRUE(dropped()) << "after " << sent << " receipts";
    // The stalled client never held a receipt longer than the line took alone, by far.
    EXPECT_LT(slowest, alone * 5 + std::chrono::milliseconds(200));
    // The one that reads got everything, the last receipt's end too.
    const std::string* all = &reading.Until("\"key\":\"stalled-" + std::to_string(sent - 1) + "\"");
    for (const auto deadline = Clock::now() + std::chrono::seconds(5);
         Count(*all, "\"state\":\"done\"") < static_cast<std::size_t>(sent) && Clock::now() < deadline;)
        all = &reading.Read(50);
    EXPECT_EQ(Count(*all, "\"state\":\"done\""), static_cast<std::size_t>(sent));
    EXPECT_EQ(Count(*all, "*e placanje: cash=100.00"), static_cast<std::size_t>(sent));
    // The service took the streams' memory back; a new stream is served.
    EventClient again(ecrd.Port(), "");
    EXPECT_NE(again.Until("\"id\":\"kasa1\"").find("event: register"), std::string::npos);
}

TEST_F(EcrdTest, TheSessionLogsAreServedByTheirExactNamesOnly)
{
    AddRegisters(1);
    StartEcrd(Config());
    ASSERT_EQ(Receipt("logged", kTwoLines).status, 200);
    const std::string today = "kasa1-" + Today() + ".log";
    const Answer list = Send("GET", "/logs");
    ASSERT_EQ(list.status, 200);
    ASSERT_EQ(list.body["logs"].items.size(), 1u);
    EXPECT_EQ(list.body["logs"].items[0]["file"].text, today);
    EXPECT_EQ(list.body["logs"].items[0]["register"].text, "kasa1");
    EXPECT_EQ(list.body["logs"].items[0]["date"].text, Today());
    EXPECT_GT(list.body["logs"].items[0]["size"].number, 0);

    const auto log = client->Get(("/logs/" + today).c_str());
    ASSERT_TRUE(log);
    EXPECT_EQ(log->status, 200);
    EXPECT_EQ(log->get_header_value("Content-Type"), "text/plain; charset=utf-8");
    EXPECT_EQ(log->get_header_value("Content-Disposition"), "attachment; filename=\"" + today + "\"");
    EXPECT_NE(log->body.find("ecrd: job "), std::string::npos);

    // Files beside the logs that are no log of a register: a link named as
    // one, a FIFO named as one (which would hold a reader), another
    // register's, and names that only look like one.
    const std::filesystem::path logs = folder.File("state/logs");
    std::filesystem::create_symlink("/etc/passwd", logs / "kasa1-2000-01-01.log");
    ASSERT_EQ(mkfifo((logs / "kasa1-2000-01-02.log").c_str(), 0600), 0);
    std::ofstream(logs / "kasa9-2000-01-03.log") << "not ours\n";
    std::ofstream(logs / "kasa1-2000-01-04.log.bak") << "not a log\n";
    std::ofstream(logs / "kasa1-20000-01-5.log") << "not a date\n";
    EXPECT_EQ(Send("GET", "/logs").body["logs"].items.size(), 1u);
    const struct {
        const char* path;
        int status;
    } refused[] = {
        {"/logs/kasa1-2000-01-01.log", 404},  // the link is not followed
        {"/logs/kasa1-2000-01-02.log", 404},  // nor a FIFO read
        {"/logs/kasa9-2000-01-03.log", 404}, {"/logs/kasa1-2000-01-04.log.bak", 404},
        {"/logs/kasa1-20000-01-5.log", 404}, {"/logs/kasa1-2000-01-09.log", 404},  // none of that day
        {"/logs/..%2fecrd.json", 404},       {"/logs/../ecrd.json", 404},
    };
    for (const auto& c : refused) {
        const auto start = Clock::now();
        const auto answer = client->Get(c.path);
        ASSERT_TRUE(answer) << c.path;
        EXPECT_EQ(answer->status, c.status) << c.path << ": " << answer->body;
        EXPECT_EQ(answer->body.find("root:"), std::string::npos) << c.path;
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(2)) << c.path;
    }
}
