#include "ecr/articles/ArticleUpload.h"

#include "ecr/commands/ECRArticleCommands.h"
#include "ecr/protocol/ECRMessageSink.h"

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
        // The register's answer to this article alone decides whether it was refused.
        ECRMessageSink::ResetLastCode();
        m_device.WriteArticle(m_articleAt(i));
        const std::int32_t code = ECRProtocol::LastErrorCode();
        if (code != 0 && m_refused++ == 0) {
            m_firstRefusalCode = code;
            m_firstRefusedIndex = i;
        }
        ++m_sent;
        if (afterEach) {
            afterEach(m_sent);
        }
    }
}
