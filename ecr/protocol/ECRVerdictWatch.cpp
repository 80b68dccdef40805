#include "ecr/protocol/ECRVerdictWatch.h"

#include "ecr/protocol/ECRVerdicts.h"

#include <algorithm>

ECRVerdictWatch::ECRVerdictWatch(ECRVerdicts& verdicts) : m_verdicts(verdicts)
{
    m_verdicts.m_watches.push_back(this);
}

ECRVerdictWatch::~ECRVerdictWatch()
{
    auto& watches = m_verdicts.m_watches;
    watches.erase(std::remove(watches.begin(), watches.end(), this), watches.end());
}

std::uint64_t ECRVerdictWatch::CountOf(ECRVerdict::Kind kind) const
{
    return m_counts[static_cast<std::size_t>(kind)];
}

const std::optional<ECRVerdict>& ECRVerdictWatch::FirstOf(ECRVerdict::Kind kind) const
{
    return m_first[static_cast<std::size_t>(kind)];
}

void ECRVerdictWatch::See(const ECRVerdict& verdict)
{
    const auto kind = static_cast<std::size_t>(verdict.kind);
    ++m_exchanges;
    if (m_counts[kind]++ == 0) {
        m_first[kind] = verdict;
    }
    const bool failure = verdict.kind != ECRVerdict::Kind::Accepted && verdict.kind != ECRVerdict::Kind::Unchecked;
    if (failure && !m_firstNotAccepted) {
        m_firstNotAccepted = verdict;
    }
}
