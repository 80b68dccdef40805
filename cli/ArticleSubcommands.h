#pragma once

#include "cli/CliCommandGroup.h"
#include "ecr/commands/ECRArticle.h"
#include "ecr/commands/ECRArticleCommands.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CliSession;

// articles list / import / generate / delete.
class ArticleSubcommands : public CliCommandGroup {
public:
    void Register(CLI::App& app, CliAction& chosen) override;

    // Reads the register's whole article table into the device's list, with
    // a progress line on a terminal; code gets the refusal that ended the
    // walk, if one did. An answer for another command throws (link).
    static ECRArticleCommands::ArticleWalk ReadTable(CliSession& session, std::int32_t& code);
    // Throws unless the walk gave the whole table (an empty one included).
    static void ThrowIfIncomplete(ECRArticleCommands::ArticleWalk walk, std::int32_t code);

private:
    static void List(CliSession& session, const std::string& outPath);
    // Programs count articles one by one, article(i) giving the i-th; a
    // refused article does not stop the run, but the run then ends as
    // refused. The result counts the articles sent, refused and skipped,
    // also when a link failure ends the run.
    static void WriteAll(CliSession& session, std::size_t count, const std::function<ECRArticle(std::size_t)>& article,
                         const std::string& what);

    std::string m_outPath;
    std::string m_importPath;
    std::vector<ECRArticle> m_imported;
    std::int32_t m_from = 2;
    std::int32_t m_to = 15000;
    std::string m_deleteName;
    bool m_deleteAll = false;
};
