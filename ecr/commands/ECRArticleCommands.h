#pragma once

#include "ecr/commands/ECRArticle.h"
#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>

// The register's article (PLU) table.
class ECRArticleCommands : public ECRProtocol {
public:
    // ReadArticle modes: 4 with an empty name reads the first article, 4 with
    // a name the one after it, 2 with an empty name the last one.
    static constexpr std::int32_t kReadNext = 4;
    static constexpr std::int32_t kReadLast = 2;
    // ReadAllArticles never reads more than this many articles.
    static constexpr std::size_t kMaxArticles = 100000;

    void DeleteAllArticles();
    void DeleteArticle(ECRString name);
    void WriteArticle(const ECRArticle& article);
    ECRArticle ReadArticle(ECRString name, std::int32_t mode);
    // How a reading of all articles ended. Only Complete and NoArticles give
    // the register's whole table; the others leave what was read before the end.
    enum class ArticleWalk {
        Complete,      // from the first article to the last
        NoArticles,    // the first read found no article (code 20): the table is empty
        Refused,       // a read was refused; LastVerdict() holds the code
        EmptyName,     // a reply without an article name (or one that failed its check)
        RepeatedName,  // a name came a second time before the last one: the walk would go round
        TooMany,       // kMaxArticles read without reaching the last one
    };
    // The register's code for a read of an article it does not have.
    static constexpr std::int32_t kNoSuchArticle = 20;

    // Replaces Articles() with the register's table; afterEach (if set) gets
    // the number of articles in the list after each one read.
    ArticleWalk ReadAllArticles(const std::function<void(std::size_t read)>& afterEach = {});
    const std::list<ECRArticle>& Articles() const { return m_articles; }

private:
    std::list<ECRArticle> m_articles;
};
