#pragma once

#include "ecr/commands/ECRArticle.h"
#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>

// The register's article (PLU) table.
//
// Each command is one Transact (ECRRequest::Send), its request shown as it
// goes out before framing, US standing for 0x1F. Every one throws what
// Transact throws (the table in ECRProtocol.h: CommError(10) when no reply
// comes, CommError(17) for a bad checksum, the port's CommError,
// ECRStringError for a reply too short for its check), and a name holding
// US, LF or TAB throws CommError(11) before anything is sent. A refusal is not
// thrown, nor a reply that failed its check: LastVerdict() tells.
class ECRArticleCommands : public ECRProtocol {
public:
    // ReadArticle modes: 4 with an empty name reads the first article, 4 with
    // a name the one after it, 2 with an empty name the last one.
    static constexpr std::int32_t kReadNext = 4;
    static constexpr std::int32_t kReadLast = 2;
    // ReadAllArticles never reads more than this many articles.
    static constexpr std::size_t kMaxArticles = 100000;

    // Sends "%a".
    void DeleteAllArticles();
    // Sends "#d" name LF.
    void DeleteArticle(ECRString name);
    // Sends "#r" name LF price TAB taxRate US unit US; value1 and value2 are
    // not sent, and nothing is checked here (ECRArticleRules is the caller's).
    void WriteArticle(const ECRArticle& article);
    // Sends "$o" name LF mode US; the reply is name LF price TAB taxRate US
    // unit US value1 TAB value2 TAB. A missing field reads as empty or 0, or
    // fails, as MissingFields() says; a price, tax rate or unit outside what
    // ECRArticleRules allows (0 for the price too), or a number field that
    // is not a number, is a reply that failed its check: ECRReplyError
    // (CommError(16)) naming the field.
    // Refused, and for a reply that failed its check, the empty article.
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
    // Replaces Articles() with the register's table; afterEach (if set) gets
    // the number of articles in the list after each one read.
    // Reads the first article (mode 4, no name), then the last (mode 2), then,
    // from the first on, the one after each (mode 4 with the name before it)
    // until the last one's name comes. A throw from the first two reads leaves
    // Articles() as it was, a later one with what was read so far.
    ArticleWalk ReadAllArticles(const std::function<void(std::size_t read)>& afterEach = {});
    // The articles the last ReadAllArticles read, in the register's order.
    const std::list<ECRArticle>& Articles() const { return m_articles; }

private:
    std::list<ECRArticle> m_articles;
};
