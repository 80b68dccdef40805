#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

// Bounds the guessing of the service's token: after kMostWrong wrong tokens
// from one address within kWindow, that address is refused (429) for
// kWindow. At most kMostAddresses are remembered; when more guess at once,
// the one remembered longest is forgotten first. Safe from any thread.
class TokenGuard {
public:
    static constexpr int kMostWrong = 10;
    static constexpr std::chrono::seconds kWindow{60};
    static constexpr std::size_t kMostAddresses = 4096;

    using Clock = std::chrono::steady_clock;

    // Whether the address is refused now.
    bool Blocked(const std::string& address, Clock::time_point now);
    // A wrong token came from the address.
    void Wrong(const std::string& address, Clock::time_point now);

private:
    struct Record {
        Clock::time_point first;  // the first wrong token of the window
        int wrong = 0;
        Clock::time_point blockedUntil;
    };

    std::mutex m_mutex;
    std::map<std::string, Record> m_records;
};
