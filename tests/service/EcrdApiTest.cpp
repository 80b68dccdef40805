// The HTTP interface around the jobs: bad requests refused with nothing on
// the wire, who may call, every operation, reports settled from the
// register, and registers that do not disturb each other.
#include "EcrdFixture.h"
#include "ecr/commands/ECRSessionLog.h"
#include "support/ScriptedRegister.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/wait.h>
#include <thread>

namespace {

using Commands = std::vector<std::string>;

struct BadRequest {
    const char* label;
    std::string method;
    std::string path;
    std::string body;
    std::string contentType;
    std::string key;
    int status;
    const char* code;
};

void PrintTo(const BadRequest& c, std::ostream* os)
{
    *os << c.label;
}

class EcrdRefuses : public EcrdTest, public testing::WithParamInterface<BadRequest> {};

const std::string kReceipts = "/registers/kasa1/receipts";

}  // namespace

TEST_P(EcrdRefuses, WithAProblemAndNothingOnTheWire)
{
    const BadRequest& c = GetParam();
    AddRegisters(1);
    StartEcrd(Config(R"(, "maxBodyBytes": 2048)"));
    httplib::Headers headers;
    if (!c.key.empty())
        headers.emplace("Idempotency-Key", c.key);
    const httplib::Result result = c.method == "GET" ? client->Get(c.path.c_str(), headers) : client->send([&] {
        httplib::Request request;
        request.method = c.method;
        request.path = c.path;
        request.headers = headers;
        request.body = c.body;
        if (!c.contentType.empty())
            request.set_header("Content-Type", c.contentType);
        return request;
    }());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, c.status);
    EXPECT_EQ(result->get_header_value("Content-Type"), "application/problem+json");
    const Json problem = Json::Parse(result->body);
    EXPECT_EQ(problem["code"].text, c.code);
    EXPECT_EQ(problem["status"].number, c.status);
    EXPECT_FALSE(problem["detail"].text.empty());
    EXPECT_TRUE(hosts[0]->Requests().empty()) << "nothing was sent";
}

INSTANTIATE_TEST_SUITE_P(
    Requests, EcrdRefuses,
    testing::Values(
        BadRequest{"bad_json", "POST", kReceipts, R"({"lines": [)", "application/json", "k", 400, "bad-request"},
        BadRequest{"unknown_field", "POST", kReceipts,
                   R"({"lines": [{"name": "Sok", "price": 1, "quantity": 1, "taxRate": 0, "colour": 1}]})",
                   "application/json", "k", 400, "bad-request"},
        BadRequest{"unprintable_text", "POST", kReceipts,
                   R"({"lines": [{"name": "Кафа", "price": 1, "quantity": 1, "taxRate": 0}]})", "application/json", "k",
                   400, "bad-request"},
        BadRequest{"three_decimals", "POST", kReceipts,
                   R"({"lines": [{"name": "Sok", "price": "1.005", "quantity": 1, "taxRate": 0}]})", "application/json",
                   "k", 400, "bad-request"},
        BadRequest{"oversized_body", "POST", kReceipts, std::string(4096, ' ') + "{}", "application/json", "k", 413,
                   "body-too-large"},
        BadRequest{"not_json_type", "POST", kReceipts, "lines=1", "text/plain", "k", 415, "unsupported-media-type"},
        BadRequest{"no_key", "POST", kReceipts, R"({"lines": []})", "application/json", "", 400,
                   "idempotency-key-missing"},
        BadRequest{"key_with_space", "POST", kReceipts, "{}", "application/json", "a b", 400, "bad-request"},
        BadRequest{"wait_not_a_number", "GET", "/registers/kasa1/clock?wait=soon", "", "", "", 400, "bad-request"},
        BadRequest{"no_register", "GET", "/registers/kasa9/clock", "", "", "", 404, "not-found"},
        BadRequest{"no_job", "GET", "/jobs/0123abcd", "", "", "", 404, "not-found"},
        BadRequest{"no_path", "GET", "/printers", "", "", "", 404, "not-found"},
        BadRequest{"wrong_method", "DELETE", "/registers/kasa1/clock", "", "", "", 405, "method-not-allowed"}));

TEST_F(EcrdTest, OffLoopbackEveryRequestNeedsTheToken)
{
    AddRegisters(1);
    const std::string token = "s3cret-0123456789abcdef0123456789";
    std::string config = Config(R"(, "token": ")" + token + R"(", "allowPlainHttp": true)");
    config.replace(config.find("127.0.0.1:0"), 11, "0.0.0.0:0");
    StartEcrd(config);
    const Answer none = Send("GET", "/registers");
    EXPECT_EQ(none.status, 401);
    EXPECT_EQ(none.body["code"].text, "unauthorized");
    EXPECT_EQ(Send("GET", "/registers", "", "", {{"Authorization", "Bearer " + token.substr(1)}}).status, 401);
    EXPECT_EQ(Send("POST", kReceipts, "{}", "k", {{"Authorization", "Basic " + token}}).status, 401);
    const Answer right = Send("GET", "/registers", "", "", {{"Authorization", "Bearer " + token}});
    EXPECT_EQ(right.status, 200);
    EXPECT_EQ(right.body["registers"].items.at(0)["id"].text, "kasa1");
    EXPECT_TRUE(hosts[0]->Requests().empty());
}

TEST_F(EcrdTest, OnlyAllowedOriginsAndLoopbackHostNamesAreServed)
{
    AddRegisters(1);
    StartEcrd(Config(R"(, "allowedOrigins": ["http://kasa.local"])"));
    const httplib::Result allowed = client->Get("/registers", {{"Origin", "http://kasa.local"}});
    ASSERT_TRUE(allowed);
    EXPECT_EQ(allowed->status, 200);
    EXPECT_EQ(allowed->get_header_value("Access-Control-Allow-Origin"), "http://kasa.local");
    const httplib::Result preflight =
        client->Options("/registers/kasa1/receipts",
                        {{"Origin", "http://kasa.local"}, {"Access-Control-Request-Method", "POST"}});
    ASSERT_TRUE(preflight);
    EXPECT_EQ(preflight->status, 204);
    EXPECT_NE(preflight->get_header_value("Access-Control-Allow-Headers").find("Idempotency-Key"), std::string::npos);
    EXPECT_EQ(Send("POST", kReceipts, kTwoLines, "k", {{"Origin", "http://evil.example"}}).status, 403);
    // A name of a page's own that leads here (DNS rebinding) is not served either.
    EXPECT_EQ(Send("POST", kReceipts, kTwoLines, "k", {{"Host", "evil.example:8765"}}).status, 403);
    EXPECT_TRUE(hosts[0]->Requests().empty());
}

TEST_F(EcrdTest, EveryOperationOverHttpSendsWhatTheRegisterReads)
{
    AddRegisters(1);
    StartEcrd(Config());
    const Answer set = Send("PUT", "/registers/kasa1/clock", R"({"clock": "2026-03-15 09:41"})");
    EXPECT_EQ(set.status, 200);
    // clang-format off
    EXPECT_EQ(hosts[0]->Requests().back(), "#c" "26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F");
    // clang-format on
    EXPECT_EQ(Send("GET", "/registers/kasa1/clock").body["result"]["clock"].text, "2026-03-15 09:41");

    const Answer header = Send("PUT", "/registers/kasa1/header", R"({"lines": [
        {"text": "ČAJDŽINICA", "double": true}, {"text": "Glavna 1", "double": false},
        {"text": "", "double": false}, {"text": "", "double": false}, {"text": "", "double": false}]})");
    EXPECT_EQ(header.status, 200);
    // clang-format off
    EXPECT_EQ(hosts[0]->Requests().back(),
              "#h" "\xC8" "AJD\x8E" "INICA\n" "Glavna 1\n" "\n" "\n" "\n" "1\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F");
    // clang-format on
    const Answer read = Send("GET", "/registers/kasa1/header");
    EXPECT_EQ(read.body["result"]["lines"].items.at(0)["text"].text, "ČAJDŽINICA");
    EXPECT_TRUE(read.body["result"]["lines"].items.at(0)["double"].boolean);

    const Answer import = Send("POST", "/registers/kasa1/articles",
                               R"({"articles": [{"name": "Sok", "price": 120, "taxRate": 1, "unit": 0},
                                                {"name": "Hleb", "price": "45.50", "taxRate": 0, "unit": 2}]})",
                               "plu-1");
    EXPECT_EQ(import.body["result"]["accepted"].number, 2);
    EXPECT_EQ(hosts[0]->Requests().back(),
              "#rHleb\n4550\t0\x1F"
              "2\x1F");
    const Answer list = Send("GET", "/registers/kasa1/articles");
    ASSERT_EQ(list.body["result"]["count"].number, 2);
    EXPECT_EQ(list.body["result"]["articles"].items.at(1)["price"].text, "45.50");

    const Answer raw = Send("POST", "/registers/kasa1/raw", R"({"payload": "$y1\u001f"})", "raw-1");
    EXPECT_EQ(raw.body["result"]["answer"].text,
              "$Y1\x1F"
              "0");

    const Answer refused =
        Send("POST", "/registers/kasa1/reports/periodic", R"({"from": "2026-01-01", "to": "2026-01-31"})", "p-1");
    EXPECT_EQ(refused.status, 422) << "no daily report in the period";
    EXPECT_EQ(refused.body["registerCode"].number, 84);
    EXPECT_EQ(refused.body["outcome"].text, "not printed");
}

TEST_F(EcrdTest, AJobNotEndedWithinTheWaitIsPolledAtItsLocation)
{
    AddRegisters(1);
    StartEcrd(Config());
    hosts[0]->WithSimulator([](ECRSimulator& sim) { sim.SetPrintMilliseconds(600); });
    const Answer pending = Receipt("slow", kTwoLines, 1, "?wait=0");
    EXPECT_EQ(pending.status, 202);
    EXPECT_EQ(pending.location, "/jobs/" + pending.body["id"].text);
    EXPECT_TRUE(pending.body["state"].text == "queued" || pending.body["state"].text == "running");
    const Answer done = Send("GET", pending.location + "?wait=20000");
    EXPECT_EQ(done.status, 200);
    EXPECT_EQ(done.body["state"].text, "done");
    EXPECT_EQ(done.body["outcome"].text, "printed");
    // Kept, not deleted on reading.
    EXPECT_EQ(Send("GET", pending.location).body["state"].text, "done");
}

TEST_F(EcrdTest, ADailyReportWhoseAnswerIsLostIsSettledFromTheTotals)
{
    AddRegisters(1);
    StartEcrd(Config());
    ASSERT_EQ(Receipt("sale", kTwoLines).body["outcome"].text, "printed");
    SetFaults(1, [](SimFaults& faults) { faults.dropReplyAt = "#z"; });
    const Answer daily = Send("POST", "/registers/kasa1/reports/daily", "", "z-1");
    EXPECT_EQ(daily.status, 200);
    EXPECT_EQ(daily.body["outcome"].text, "printed");
    EXPECT_FALSE(daily.body["settled"].text.empty());

    // Now today's figures are zero: another lost answer cannot be told.
    SetFaults(1, [](SimFaults& faults) { faults.dropReplyAt = "#z"; });
    const Answer second = Send("POST", "/registers/kasa1/reports/daily", "", "z-2");
    EXPECT_EQ(second.status, 502);
    EXPECT_EQ(second.body["code"].text, "outcome-unknown");
    EXPECT_EQ(second.body["outcome"].text, "unknown");
    const std::vector<std::string> commands = Received(1);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "#z"), 2) << "a report is never sent again";
}

TEST_F(EcrdTest, AFailingRegisterDoesNotHoldUpTheOther)
{
    AddRegisters(2);
    // kasa2 answers the log-on and then nothing, and waits long for each answer.
    StartEcrd(Config("", {kFastLimits, R"({"replyTimeoutMs": 1500, "pollPauseMs": 20})"}));
    SetFaults(2, [](SimFaults& faults) { faults.dropReplyEvery = 1; });
    const Answer stuck = Receipt("k2", kTwoLines, 2, "?wait=0");
    ASSERT_TRUE(AwaitCommand(2, "$t"));
    std::vector<std::string> done;
    for (int i = 0; i < 3; ++i) {
        const Answer sale = Receipt("k1-" + std::to_string(i), kTwoLines, 1);
        EXPECT_EQ(sale.body["outcome"].text, "printed");
        done.push_back(sale.body["finishedAt"].text);
    }
    const Answer failed = Send("GET", stuck.location + "?wait=30000");
    EXPECT_EQ(failed.body["state"].text, "failed");
    EXPECT_EQ(failed.body["outcome"].text, "not printed");
    for (const std::string& finished : done)
        EXPECT_LT(finished, failed.body["finishedAt"].text) << "kasa1 was served while kasa2 hung";
    const Answer registers = Send("GET", "/registers");
    EXPECT_EQ(registers.body["registers"].items.at(0)["link"]["state"].text, "open");
    EXPECT_EQ(ReceiptsPrinted(1), 3);
    EXPECT_EQ(ReceiptsPrinted(2), 0);
}

TEST_F(EcrdTest, EachRegisterKeepsASessionLogOfTheDayWithEveryRequestAndJob)
{
    AddRegisters(1);
    StartEcrd(Config());
    const Answer sale = Receipt("sale", kTwoLines);
    ASSERT_EQ(sale.body["outcome"].text, "printed");
    std::vector<std::filesystem::path> logs;
    for (const auto& entry : std::filesystem::directory_iterator(folder.File("state/logs")))
        logs.push_back(entry.path());
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_TRUE(std::regex_match(logs[0].filename().string(), std::regex(R"(kasa1-\d{4}-\d{2}-\d{2}\.log)")));
    std::ifstream file(logs[0]);
    std::string line;
    bool header = false, begins = false, payment = false;
    while (std::getline(file, line)) {
        header = header || line.rfind(ECRSessionLog::kHeaderStart, 0) == 0;
        begins = begins || line.find("ecrd: job " + JobOf(sale) + " (receipt) begins") != std::string::npos;
        std::string_view decoded;
        std::string bytes;
        payment = payment || (ECRSessionLog::ParseTrafficLine(line, decoded, bytes) && bytes == "*e10000\t0\t0\t");
    }
    EXPECT_TRUE(header);
    EXPECT_TRUE(begins);
    EXPECT_TRUE(payment) << "the payment's request, as ecrctl decode reads it back";
}

TEST_F(EcrdTest, CheckConfigSaysWhetherAFileWouldStart)
{
    AddRegisters(1);
    const auto check = [&](const std::string& text) {
        const std::string path = folder.Write("check.json", text);
        const int status =
            std::system((std::string(ECRD_PROGRAM) + " --check-config " + path + " >/dev/null 2>&1").c_str());
        return WEXITSTATUS(status);
    };
    EXPECT_EQ(check(Config()), 0);
    EXPECT_EQ(check(R"({"registers": [{"id": "k", "port": "sim", "speed": 9600}]})"), 2);
}

TEST_F(EcrdTest, ALinkThatFailsIsOpenedAgainWhenTheRegisterIsBack)
{
    StartEcrd(AddPluggableRegister());
    ASSERT_EQ(Receipt("before", kTwoLines).body["outcome"].text, "printed");

    // The register goes away (its cable pulled): sales fail at once, with nothing printed.
    hosts[0]->Stop();
    const Answer away = Receipt("away", kTwoLines);
    EXPECT_EQ(away.status, 503);
    EXPECT_EQ(away.body["code"].text, "link-failure");
    EXPECT_EQ(away.body["outcome"].text, "not printed");
    const auto link = [&] { return Send("GET", "/registers/kasa1/status").body["link"]; };
    EXPECT_EQ(link()["state"].text, "down");
    EXPECT_FALSE(link()["error"].text.empty());

    // Back (on a new device behind the same name): the worker opens it again by itself.
    ASSERT_TRUE(hosts[0]->Start());
    for (int i = 0; i < 500 && link()["state"].text != "open"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(link()["state"].text, "open");
    EXPECT_EQ(Receipt("back", kTwoLines).body["outcome"].text, "printed");
    EXPECT_EQ(ReceiptsPrinted(1), 2);
}

// A reply with fewer fields than its command's reply lists failed its check:
// no daily report is printed on totals that lack one (they would settle a
// lost answer), and no article is listed with a value it was not sent.
TEST_F(EcrdTest, AReplyThatLacksAFieldFailsItsJob)
{
    std::string totals;
    for (int i = 0; i < 12; ++i)
        totals += "100\t";
    ScriptedRegister line([totals](const std::string& payload) -> std::optional<std::string> {
        const std::string command = payload.substr(0, 2);
        if (command == "$t")
            return "$T" + totals;
        // clang-format off
        if (command == "$c")
            return "$C26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F";
        if (command == "#z")
            return "#z";
        if (command == "$o")
            return "$OSok\n" "100\t" "1\x1F" "0\x1F" "0\t";  // value2 missing
        // clang-format on
        return std::nullopt;
    });
    AddRegisters(1);
    std::string config = Config();
    config.replace(config.find(hosts[0]->DevicePath()), hosts[0]->DevicePath().size(), line.DevicePath());
    StartEcrd(config);

    const Answer daily = Send("POST", "/registers/kasa1/reports/daily", "", "z-1");
    EXPECT_EQ(daily.body["outcome"].text, "not printed");
    const Answer list = Send("GET", "/registers/kasa1/articles");
    EXPECT_NE(list.status, 200);
    EXPECT_FALSE(list.body.Has("result"));
    for (const std::string& request : line.Requests())
        EXPECT_NE(request.substr(0, 2), "#z");
}

// What watches the service: its health and figures, its contract, and the
// jobs a till looks through after it restarted.
TEST_F(EcrdTest, TheServiceTellsItsHealthFiguresContractAndJobs)
{
    AddRegisters(1);
    StartEcrd(Config());
    for (const char* key : {"first", "second", "third"})
        ASSERT_EQ(Receipt(key, kTwoLines).body["outcome"].text, "printed");
    const Answer health = Send("GET", "/health");
    EXPECT_EQ(health.status, 200);
    EXPECT_EQ(health.body["status"].text, "ok");
    EXPECT_EQ(health.body["registers"].items.at(0)["link"].text, "open");
    const httplib::Result metrics = client->Get("/metrics");
    ASSERT_TRUE(metrics);
    EXPECT_EQ(metrics->get_header_value("Content-Type"), "text/plain; version=0.0.4; charset=utf-8");
    EXPECT_NE(metrics->body.find("ecrd_link_up{register=\"kasa1\"} 1\n"), std::string::npos) << metrics->body;
    EXPECT_NE(metrics->body.find(
                  "ecrd_jobs_total{register=\"kasa1\",kind=\"receipt\",state=\"done\",outcome=\"printed\"} 3\n"),
              std::string::npos);
    EXPECT_NE(metrics->body.find("ecrd_http_answers_total{status=\"200\"}"), std::string::npos);

    const httplib::Result contract = client->Get("/openapi.json");
    ASSERT_TRUE(contract);
    std::ifstream file(OPENAPI_DOCUMENT);
    EXPECT_EQ(contract->body, std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));

    // Newest first, two to a page, the next page from the address given.
    const Answer page = Send("GET", "/jobs?register=kasa1&limit=2");
    ASSERT_EQ(page.body["jobs"].items.size(), 2u);
    EXPECT_EQ(page.body["jobs"].items[0]["request"]["lines"].items.size(), 2u);
    const Answer rest = Send("GET", page.body["next"].text);
    ASSERT_EQ(rest.body["jobs"].items.size(), 1u);
    EXPECT_EQ(rest.body["next"].kind, Json::Kind::Null);
    EXPECT_EQ(Send("GET", "/jobs?register=kasa1&key=second").body["jobs"].items.size(), 1u);
    EXPECT_EQ(Send("GET", "/jobs?state=paused").status, 400);
}

// A request with several faults has them all named at once, each at its place.
TEST_F(EcrdTest, EveryFaultOfARequestIsNamedAtOnce)
{
    AddRegisters(1);
    StartEcrd(Config());
    const Answer answer = Receipt("faults", R"({"lines": [
        {"name": "Sok", "price": "1.005", "quantity": 1, "taxRate": 1},
        {"name": "Кафа", "price": "2", "quantity": 0, "taxRate": 9}],
        "payments": {"card": "x"}, "tip": 1})");
    EXPECT_EQ(answer.status, 400);
    std::vector<std::string> pointers;
    for (const Json& error : answer.body["errors"].items)
        pointers.push_back(error["pointer"].text);
    EXPECT_EQ(pointers,
              (std::vector<std::string>{"", "/lines/0/price", "/lines/1/name", "/lines/1/quantity", "/payments/card"}));
    EXPECT_NE(answer.body["detail"].text.find("5 faults"), std::string::npos) << answer.body["detail"].text;
    EXPECT_TRUE(hosts[0]->Requests().empty());
}
