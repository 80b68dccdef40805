#pragma once

#include "EcrdProcess.h"
#include "articles/TempFolder.h"
#include "cli/JsonReader.h"
#include "sim/ECRSimulator.h"
#include "sim/SimulatorHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <httplib.h>
#include <memory>
#include <string>
#include <vector>

// ecrd run as a program against simulated registers in the test's process
// (kasa1, kasa2, ... on pseudo-terminals), reached over real HTTP with
// cpp-httplib's client. The registers outlive ecrd, so it can be killed
// and started again on the same state.
class EcrdTest : public testing::Test {
protected:
    struct Answer {
        int status = 0;
        std::string contentType;
        std::string location;
        Json body;
    };

    // Short waits for a lost answer: a simulated register answers at once.
    static constexpr const char* kFastLimits =
        R"({"replyTimeoutMs": 300, "statusTimeoutMs": 200, "pollPauseMs": 20, "quietMs": 20, "maxSilentWaits": 3})";

    void AddRegisters(int count)
    {
        for (int i = 0; i < count; ++i) {
            hosts.push_back(std::make_unique<SimulatorHost>());
            std::string error;
            ASSERT_TRUE(hosts.back()->Start(&error)) << error;
        }
    }

    // One register on a device name of its own that it keeps when stopped and
    // started again (its cable pulled and plugged in); the configuration.
    std::string AddPluggableRegister()
    {
        SimulatorHost::Options options;
        options.linkPath = folder.File("kasa");
        hosts.push_back(std::make_unique<SimulatorHost>(options));
        EXPECT_TRUE(hosts.back()->Start());
        std::string config = Config();
        config.replace(config.find(hosts.back()->DevicePath()), hosts.back()->DevicePath().size(), options.linkPath);
        return config;
    }

    // The configuration: these registers with these poll limits, and more items.
    std::string Config(const std::string& extra = "", const std::vector<std::string>& limits = {}) const
    {
        std::string registers;
        for (std::size_t i = 0; i < hosts.size(); ++i) {
            registers += std::string(i ? ", " : "") + R"({"id": "kasa)" + std::to_string(i + 1) + R"(", "port": ")" +
                         hosts[i]->DevicePath() + R"(", "pollLimits": )" +
                         (i < limits.size() ? limits[i] : std::string(kFastLimits)) + "}";
        }
        // One job's traffic at a time: no totals read ahead after a receipt
        // (AReceiptStartsFromTotalsReadAhead turns it on).
        return R"({"listen": "127.0.0.1:0", "stateDirectory": ")" + folder.File("state") +
               R"(", "reopenFirstMs": 50, "reopenMaxMs": 200, "defaultWaitMs": 10000)" +
               (extra.find("readTotalsAhead") == std::string::npos ? R"(, "readTotalsAhead": false)" : "") + extra +
               R"(, "registers": [)" + registers + "]}";
    }

    void StartEcrd(const std::string& config)
    {
        std::string error;
        ASSERT_TRUE(ecrd.Start(folder.File(""), config, error)) << error;
        client = std::make_unique<httplib::Client>("127.0.0.1", ecrd.Port());
        client->set_read_timeout(60, 0);
    }

    static Answer From(const httplib::Result& result)
    {
        Answer answer;
        if (!result)
            return answer;
        answer.status = result->status;
        answer.contentType = result->get_header_value("Content-Type");
        answer.location = result->get_header_value("Location");
        answer.body = Json::Parse(result->body);
        return answer;
    }

    Answer Send(const std::string& method, const std::string& path, const std::string& body = "",
                const std::string& key = "", httplib::Headers headers = {})
    {
        if (!key.empty())
            headers.emplace("Idempotency-Key", key);
        if (method == "GET")
            return From(client->Get(path.c_str(), headers));
        if (method == "PUT")
            return From(client->Put(path.c_str(), headers, body, "application/json"));
        return From(client->Post(path.c_str(), headers, body, "application/json"));
    }

    // The job an answer is about: a job document's id, a problem's job.
    static std::string JobOf(const Answer& answer)
    {
        return answer.body.Has("id") ? answer.body["id"].text : answer.body["job"].text;
    }

    Answer Receipt(const std::string& key, const std::string& body, int registerNumber = 1,
                   const std::string& query = "")
    {
        return Send("POST", "/registers/kasa" + std::to_string(registerNumber) + "/receipts" + query, body, key);
    }

    // The command codes of the requests register i (from 1) received.
    std::vector<std::string> Received(int i) const
    {
        std::vector<std::string> commands;
        for (const std::string& request : hosts[static_cast<std::size_t>(i - 1)]->Requests())
            commands.push_back(request.substr(0, 2));
        return commands;
    }

    void SetFaults(int i, const std::function<void(SimFaults&)>& set)
    {
        SimFaults faults;
        set(faults);
        hosts[static_cast<std::size_t>(i - 1)]->WithSimulator([&](ECRSimulator& sim) { sim.SetFaults(faults); });
    }

    int ReceiptsPrinted(int i) const
    {
        int receipts = 0;
        hosts[static_cast<std::size_t>(i - 1)]->WithSimulator(
            [&](ECRSimulator& sim) { receipts = sim.State().receiptsToday; });
        return receipts;
    }

    bool ReceiptOpen(int i) const
    {
        bool open = false;
        hosts[static_cast<std::size_t>(i - 1)]->WithSimulator(
            [&](ECRSimulator& sim) { open = sim.State().transaction.has_value(); });
        return open;
    }

    // Waits until register i has received a request of this command.
    bool AwaitCommand(int i, const std::string& command, int timeoutMs = 10000) const;

    TempFolder folder;
    std::vector<std::unique_ptr<SimulatorHost>> hosts;
    EcrdProcess ecrd;
    std::unique_ptr<httplib::Client> client;
};

// Two lines, 12.50 x 2 and 45.50 x 1: 70.50.
inline const std::string kTwoLines = R"({"lines": [
    {"name": "Sok", "price": "12.50", "quantity": 2, "taxRate": 1},
    {"name": "Hleb", "price": "45.50", "quantity": "1", "taxRate": 0}],
    "payments": {"cash": "100"}, "registerNumber": "1", "cashier": "7"})";
