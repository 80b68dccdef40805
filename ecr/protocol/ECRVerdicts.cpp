#include "ecr/protocol/ECRVerdicts.h"

#include "ecr/protocol/ECRVerdictWatch.h"

void ECRVerdicts::Record(const ECRVerdict& verdict)
{
    m_last = verdict;
    ++m_count;
    for (ECRVerdictWatch* watch : m_watches) {
        watch->See(verdict);
    }
    if (m_listener) {
        m_listener(verdict);
    }
}
