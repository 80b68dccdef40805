#pragma once

#include "ecr/protocol/ECRVerdict.h"

#include <cstddef>
#include <cstdint>
#include <optional>

class ECRVerdicts;

// Watches the verdicts of the exchanges made while it lives: an operation of
// several exchanges (a clock read and a dated write, a memory read in
// blocks, fifty daily reports) is accepted only when each of them was.
// Watches may nest; each sees only what happened in its own lifetime.
//
//   ECRVerdictWatch watch(device.Verdicts());
//   ECROperations::WriteTaxRatesNow(device, rates);
//   if (const auto& failed = watch.FirstNotAccepted()) ...
class ECRVerdictWatch {
public:
    // Opens the watch on these verdicts; it closes when destroyed. The
    // verdicts must outlive it.
    explicit ECRVerdictWatch(ECRVerdicts& verdicts);
    ~ECRVerdictWatch();
    ECRVerdictWatch(const ECRVerdictWatch&) = delete;
    ECRVerdictWatch& operator=(const ECRVerdictWatch&) = delete;

    // Exchanges made since the watch opened.
    std::uint64_t Exchanges() const { return m_exchanges; }
    // The first of them that was not accepted (a raw exchange's Unchecked is
    // not a failure); none when all were.
    const std::optional<ECRVerdict>& FirstNotAccepted() const { return m_firstNotAccepted; }
    // How many ended with this kind of verdict, and the first of them.
    std::uint64_t CountOf(ECRVerdict::Kind kind) const;
    const std::optional<ECRVerdict>& FirstOf(ECRVerdict::Kind kind) const;

private:
    friend class ECRVerdicts;
    void See(const ECRVerdict& verdict);

    ECRVerdicts& m_verdicts;
    std::uint64_t m_exchanges = 0;
    static constexpr std::size_t kKinds = 5;
    std::uint64_t m_counts[kKinds] = {};
    std::optional<ECRVerdict> m_first[kKinds];
    std::optional<ECRVerdict> m_firstNotAccepted;
};
