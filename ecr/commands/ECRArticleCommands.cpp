#include "ecr/commands/ECRArticleCommands.h"

#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/ECRReply.h"
#include "ecr/commands/ECRRequest.h"
#include "ecr/protocol/DeviceCode.h"
#include "ecr/protocol/ECRFrame.h"

#include <limits>
#include <string>
#include <unordered_set>

void ECRArticleCommands::DeleteAllArticles()
{
    ECRRequest("%a").Send(*this);
}

void ECRArticleCommands::DeleteArticle(ECRString name)
{
    ECRRequest("#d").Text(name).Send(*this);
}

void ECRArticleCommands::WriteArticle(const ECRArticle& article)
{
    ECRRequest("#r").Text(article.name).Amount(article.price).Int(article.taxRate).Int(article.unit).Send(*this);
}

ECRArticle ECRArticleCommands::ReadArticle(ECRString name, std::int32_t mode)
{
    ECRReply reply(ECRRequest("$o").Text(name).Int(mode).Send(*this), MissingFields());
    ECRArticle article;
    if (LastVerdict().kind == ECRVerdict::Kind::Refused) {
        return article;  // the code is the caller's to see in LastVerdict(), not a name
    }
    constexpr std::int32_t kAny = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kAnyTo = std::numeric_limits<std::int32_t>::max();
    article.name = reply.TakeText(ECRFrame::LF, "name");
    article.price = reply.TakeNumber(ECRFrame::HT, "price", 0, ECRArticleRules::kMaxPrice);
    article.taxRate = reply.TakeNumber(ECRFrame::US, "taxRate", 0, ECRArticleRules::kMaxTaxRate);
    article.unit = reply.TakeNumber(ECRFrame::US, "unit", 0, ECRArticleRules::kMaxUnit);
    // What the register counts there is its own: any whole number.
    article.value1 = reply.TakeNumber(ECRFrame::HT, "value1", kAny, kAnyTo);
    article.value2 = reply.TakeNumber(ECRFrame::HT, "value2", kAny, kAnyTo);
    return article;
}

ECRArticleCommands::ArticleWalk ECRArticleCommands::ReadAllArticles(
    const std::function<void(std::size_t read)>& afterEach)
{
    // A refused read ends the walk; a reply that failed its check brings no
    // article, and so ends it with an empty name.
    const auto refused = [this] { return LastVerdict().kind == ECRVerdict::Kind::Refused; };

    const ECRArticle first = ReadArticle(ECRString(), kReadNext);
    if (refused() || first.name.Length() == 0) {
        m_articles.clear();
        // An empty article table answers the first read with "no such article".
        if (refused()) {
            return LastVerdict().code == DeviceCode::NoSuchArticle ? ArticleWalk::NoArticles : ArticleWalk::Refused;
        }
        return ArticleWalk::EmptyName;
    }
    const ECRArticle last = ReadArticle(ECRString(), kReadLast);
    const bool lastKnown = LastVerdict().IsAccepted();

    m_articles.clear();
    m_articles.push_back(first);
    if (afterEach) {
        afterEach(m_articles.size());
    }
    if (!lastKnown) {
        return refused() ? ArticleWalk::Refused : ArticleWalk::EmptyName;
    }

    // The walk must end even when the register never returns the last name:
    // it stops at a refusal, an empty name, a name seen before, or the limit.
    std::unordered_set<std::string> seen;
    seen.emplace(first.name.Data(), first.name.Length());
    ECRString current = first.name;
    while (current != last.name) {
        if (m_articles.size() >= kMaxArticles) {
            return ArticleWalk::TooMany;
        }
        ECRArticle next = ReadArticle(current, kReadNext);
        if (refused()) {
            return ArticleWalk::Refused;
        }
        if (next.name.Length() == 0) {
            return ArticleWalk::EmptyName;
        }
        if (!seen.emplace(next.name.Data(), next.name.Length()).second) {
            return ArticleWalk::RepeatedName;
        }
        current = next.name;
        m_articles.push_back(next);
        if (afterEach) {
            afterEach(m_articles.size());
        }
    }
    return ArticleWalk::Complete;
}
