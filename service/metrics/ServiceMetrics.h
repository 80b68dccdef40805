#pragma once

#include "service/metrics/Histogram.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

// ecrd's figures for a chain of shops' Prometheus: what the workers, the
// journal and the HTTP edge count as they go, and what is read from them
// when scraped, written in Prometheus' text format. Safe from any thread.
class ServiceMetrics {
public:
    // How a register stands at the scrape.
    struct RegisterGauges {
        std::string id;
        bool linkUp = false;
        std::uint64_t reopenings = 0;
        std::size_t queued = 0;
        std::size_t unsettled = 0;
    };
    // What the HTTP edge counted.
    struct HttpFigures {
        std::map<int, std::uint64_t> answersByStatus;
        std::uint64_t connectionsOpen = 0;
        std::uint64_t streamsDropped = 0;
    };

    ServiceMetrics();

    // A job ended: its state and, for a fiscal one, its outcome (else empty);
    // settled when its end came from what the register showed after a lost
    // answer.
    void JobEnded(const std::string& registerId, std::string_view kind, std::string_view state,
                  std::string_view outcome, bool settled);
    // One exchange with the register, from the request written to its verdict.
    void Exchange(const std::string& registerId, double seconds);
    // One write of the journal.
    void JournalWrite(double seconds);

    // The text a scrape reads (text/plain; version=0.0.4).
    std::string Render(const std::vector<RegisterGauges>& registers, bool journalWritable,
                       const HttpFigures& http) const;

    // "a\"b" for a label's value.
    static std::string Quoted(std::string_view value);

private:
    mutable std::mutex m_mutex;
    std::map<std::tuple<std::string, std::string, std::string, std::string>, std::uint64_t> m_jobs;
    std::map<std::pair<std::string, std::string>, std::uint64_t> m_settlements;
    std::map<std::string, Histogram> m_exchanges;
    Histogram m_journalWrites;
};
