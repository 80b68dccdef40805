#include "ecr/articles/ArticleUpload.h"

#include "ecr/commands/ECRArticleCommands.h"

#include <utility>

ArticleUpload::ArticleUpload(ECRArticleCommands& device, std::size_t total, Source articleAt)
    : m_device(device), m_total(total), m_articleAt(std::move(articleAt))
{
}

void ArticleUpload::Run(const std::function<void(std::size_t sent)>& afterEach,
                        const std::function<bool()>& stopRequested)
{
    for (std::size_t i = 0; i < m_total; ++i) {
        if (stopRequested && stopRequested()) {
            return;
        }
        m_device.WriteArticle(m_articleAt(i));
        const ECRVerdict& verdict = m_device.LastVerdict();
        if (verdict.kind == ECRVerdict::Kind::Refused) {
            if (m_refused++ == 0) {
                m_firstRefusalCode = verdict.code;
                m_firstRefusedIndex = i;
            }
        } else if (verdict.kind == ECRVerdict::Kind::FailedCheck) {
            ++m_unconfirmed;
        }
        ++m_sent;
        if (afterEach) {
            afterEach(m_sent);
        }
    }
}
