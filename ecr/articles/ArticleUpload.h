#pragma once

#include "ecr/commands/ECRArticle.h"

#include <cstddef>
#include <cstdint>
#include <functional>

class ECRArticleCommands;

// Programs articles one by one, as an import file or the test articles are
// sent (the article list dialog and ecrctl alike). A refused article does not
// stop the run, nor does an answer that failed its check; the caller may stop
// it between two articles; and when an exchange fails the counts still tell
// what was sent before it. Each article is judged by its own exchange's
// verdict, never by an earlier one.
//
//   ArticleUpload upload(device, articles.size(), [&](std::size_t i) { return articles[i]; });
//   upload.Run([&](std::size_t sent) { ShowProgress(sent); }, [&] { return stopClicked; });
class ArticleUpload {
public:
    // The article at an index, made when it is sent (the test articles need no list).
    using Source = std::function<ECRArticle(std::size_t index)>;

    ArticleUpload(ECRArticleCommands& device, std::size_t total, Source articleAt);

    // afterEach gets the number sent so far; stopRequested is asked before
    // every article. A link failure passes through, the counts kept.
    void Run(const std::function<void(std::size_t sent)>& afterEach = {},
             const std::function<bool()>& stopRequested = {});

    std::size_t Total() const { return m_total; }
    // Articles sent and answered: refused and unconfirmed ones included.
    std::size_t Sent() const { return m_sent; }
    std::size_t Refused() const { return m_refused; }
    // Articles whose answer failed its check: whether the register took
    // them is unknown, so they are not counted as programmed.
    std::size_t Unconfirmed() const { return m_unconfirmed; }
    // Articles the register accepted.
    std::size_t Accepted() const { return m_sent - m_refused - m_unconfirmed; }
    // The first refusal: its device error code and the article's index.
    std::int32_t FirstRefusalCode() const { return m_firstRefusalCode; }
    std::size_t FirstRefusedIndex() const { return m_firstRefusedIndex; }

private:
    ECRArticleCommands& m_device;
    std::size_t m_total;
    Source m_articleAt;
    std::size_t m_sent = 0;
    std::size_t m_refused = 0;
    std::size_t m_unconfirmed = 0;
    std::int32_t m_firstRefusalCode = 0;
    std::size_t m_firstRefusedIndex = 0;
};
