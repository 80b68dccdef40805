#pragma once

#include "link/LinkTarget.h"
#include "link/RegisterLink.h"
#include "service/config/ServiceConfig.h"
#include "service/registers/DailySessionLog.h"
#include "service/registers/EventHub.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

class ServiceClock;

// One register's link, as its worker keeps it: opened where the register's
// port leads (LinkTarget), its traffic and messages written to the session
// log, dropped when the line fails, and opened again after a pause that
// grows with each failure (reopenFirstMs doubled up to reopenMaxMs). Its
// opening and dropping, and while a stream watches the register its
// traffic, are published to the EventHub. Used by the worker's thread
// alone, but for State(), which any thread may ask.
class LinkKeeper {
public:
    // A refusal the register gave: its code, its message (UTF-8), when.
    struct DeviceProblem {
        std::int32_t code = 0;
        std::string message;
        std::int64_t atMs = 0;
    };
    // How the link stands and what it last saw, for the status answers.
    struct State {
        bool open = false;
        // "open", "down", or "opening" before the first attempt ended.
        const char* Word() const { return open ? "open" : changedMs == 0 ? "opening" : "down"; }
        std::string error;            // why it is down, when it is
        std::int64_t changedMs = 0;   // when it last opened or failed (ms since 1970)
        std::int64_t nextOpenMs = 0;  // when the next attempt is due, while down
        int statusByte = -1;          // the last status enquiry's byte, -1 before one came
        std::int64_t statusMs = 0;    // when it came
        std::int64_t lastExchangeMs = 0;
        std::optional<DeviceProblem> lastProblem;
        // As the register's answers on this link said; Unknown after an open.
        ECRFiscalCommands::ReceiptState receipt = ECRFiscalCommands::ReceiptState::Unknown;
        std::uint64_t reopenings = 0;  // opens after the first
    };

    // log and events may be null. exchangeTook (if set) gets the seconds of
    // every exchange, from its request to its verdict.
    LinkKeeper(const ServiceConfig::Register& reg, const ServiceConfig& config, const ServiceClock& clock,
               DailySessionLog* log, EventHub* events, std::function<void(double seconds)> exchangeTook = {});

    // Opens the link; false (and the next attempt scheduled) when it cannot.
    bool Open();
    // Closes the link; with backOff the next attempt waits the growing pause,
    // without it the next job opens the link again at once.
    void Drop(const std::string& why, bool backOff);
    bool IsOpen() const { return m_link.IsOpen(); }
    // Counts the opens: what was read on the link before another open may
    // not hold on this one.
    std::uint64_t Generation() const { return m_generation; }
    // Asks the register with the status enquiry (ENQ); true when a status
    // byte came (kept for the status answers). A line that failed is false.
    bool Check();
    // No exchange for this long (or none since the link opened).
    bool IdleFor(std::chrono::milliseconds quiet) const;
    // Takes what the device now knows of the receipt, after a job or a check.
    void Refresh();
    // The logged-on device; only while IsOpen().
    ECRDevice& Device() const { return *m_link.Device(); }
    // Milliseconds until the next attempt may be made (0: now).
    std::int64_t UntilNextAttemptMs() const;
    State GetState() const;

private:
    // Every verdict of the link's exchanges: when, and the register's refusals.
    void Saw(const ECRVerdict& verdict);
    // The state changed: told to the event streams (never with m_mutex held).
    void Changed();
    // An entry of the line: to the log and the watching streams.
    void Traffic(ECRTrafficDirection direction, std::string_view bytes);

    const ServiceConfig::Register& m_register;
    const ServiceConfig& m_config;
    const ServiceClock& m_clock;
    DailySessionLog* m_log;
    EventHub* m_events;
    LinkTarget m_target;
    RegisterLink m_link;
    std::int32_t m_backOffMs = 0;

    std::function<void(double)> m_exchangeTook;
    std::chrono::steady_clock::time_point m_lastExchange;
    std::optional<std::chrono::steady_clock::time_point> m_exchangeStart;
    bool m_openedBefore = false;
    std::uint64_t m_generation = 0;

    mutable std::mutex m_mutex;
    State m_state;
};
