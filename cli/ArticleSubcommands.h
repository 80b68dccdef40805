#pragma once

#include "cli/CliCommandGroup.h"
#include "ecr/commands/ECRArticle.h"

#include <cstdint>
#include <string>
#include <vector>

class CliSession;

// articles list / import / generate / delete.
class ArticleSubcommands : public CliCommandGroup {
public:
    void Register(CLI::App& app, CliAction& chosen) override;

private:
    static void List(CliSession& session, const std::string& outPath);
    // Programs the articles one by one; a refused article does not stop the
    // run, but the run then ends as refused.
    static void WriteAll(CliSession& session, const std::vector<ECRArticle>& articles, const std::string& what);

    std::string m_outPath;
    std::string m_importPath;
    std::int32_t m_from = 2;
    std::int32_t m_to = 15000;
    std::string m_deleteName;
    bool m_deleteAll = false;
};
