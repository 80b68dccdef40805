#pragma once

#include "ecr/protocol/ECRVerdict.h"

#include <cstdint>
#include <functional>
#include <vector>

class ECRVerdictWatch;

// The verdicts of one engine's exchanges: the last one, how many there have
// been, and every watch that is open. One per engine (per link), so two
// links in one process never see each other's verdicts.
//
//   device.WriteArticle(article);
//   if (device.LastVerdict().kind == ECRVerdict::Kind::Refused) ...
class ECRVerdicts {
public:
    ECRVerdicts() = default;
    ECRVerdicts(const ECRVerdicts&) = delete;
    ECRVerdicts& operator=(const ECRVerdicts&) = delete;

    // The verdict on the most recent exchange; NoReply with code 0 before the first.
    const ECRVerdict& Last() const { return m_last; }
    // Exchanges judged so far.
    std::uint64_t Count() const { return m_count; }

    // The engine's: records an exchange's verdict and shows it to every open
    // watch and to the listener.
    void Record(const ECRVerdict& verdict);
    // Called with every verdict as it is recorded (a service keeping what
    // its link last saw); an empty one switches it off.
    void SetListener(std::function<void(const ECRVerdict&)> listener) { m_listener = std::move(listener); }

private:
    friend class ECRVerdictWatch;

    ECRVerdict m_last;
    std::uint64_t m_count = 0;
    std::vector<ECRVerdictWatch*> m_watches;
    std::function<void(const ECRVerdict&)> m_listener;
};
