#include "cli/ArticleSubcommands.h"

#include "cli/CliArgs.h"
#include "cli/CliSession.h"
#include "ecr/articles/ArticleImportFile.h"
#include "ecr/articles/ArticleJson.h"
#include "ecr/articles/ArticleListFile.h"
#include "ecr/articles/ArticleUpload.h"
#include "ecr/articles/TestArticles.h"
#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/files/SafeFileWrite.h"

void ArticleSubcommands::Register(CLI::App& app, CliAction& chosen)
{
    CLI::App* articles = app.add_subcommand("articles", "The register's articles (PLU)");
    articles->require_subcommand(1);

    CLI::App* list = articles->add_subcommand("list", "Read all articles and print them");
    list->add_option("--out", m_outPath, "also save them as an article list file");
    OnChosen(list, chosen,
             CliAction(ChecksOutputFile(m_outPath), [this](CliSession& s) { List(s, m_outPath); }));

    CLI::App* import = articles->add_subcommand(
        "import", "Program the articles of an import file (name,price,tax,unit a line; tax 0..8, unit 0..9)");
    import->add_option("FILE", m_importPath, "article import file (Windows-1250 or UTF-8)")->required();
    OnChosen(import, chosen,
             CliAction(
                 [this] {
                     // The whole file is checked before the first article goes out.
                     FileFault fault;
                     if (!ArticleImportFile::Read(m_importPath, m_imported, fault))
                         throw CliFailure::BadInput(fault);
                 },
                 [this](CliSession& s) {
                     WriteAll(s, m_imported.size(), [this](std::size_t i) { return m_imported[i]; },
                              "articles imported");
                 }));

    CLI::App* generate = articles->add_subcommand("generate", "Program the test articles Artikal<i> at i.00");
    generate->add_option("--from", m_from, "first i")->capture_default_str();
    generate->add_option("--to", m_to, "last i")->capture_default_str();
    OnChosen(
        generate, chosen,
        [this](CliSession& s) {
            // Made one at a time as they are sent: a long run costs no memory.
            WriteAll(s, static_cast<std::size_t>(m_to - m_from + 1),
                     [this](std::size_t i) { return TestArticles::Make(m_from + static_cast<std::int32_t>(i)); },
                     "articles sent");
        },
        [this]() {
            if (!TestArticles::IsValidRange(m_from, m_to))
                throw CLI::ValidationError("--from/--to", "need 1 <= from <= to <= " +
                                                              std::to_string(TestArticles::kLargest) +
                                                              " and at most " +
                                                              std::to_string(ECRArticleRules::kCapacity) +
                                                              " articles, what the register holds");
        });

    CLI::App* remove = articles->add_subcommand("delete", "Delete one article by name, or all of them");
    remove->add_option("NAME", m_deleteName, "article name")->check(RegisterText());
    remove->add_flag("--all", m_deleteAll, "delete every article");
    OnChosen(
        remove, chosen,
        [this](CliSession& s) {
            if (m_deleteAll)
                s.Checked([&] { s.Device().DeleteAllArticles(); });
            else
                s.Checked([&] { s.Device().DeleteArticle(CliArgs::ToRegister(m_deleteName)); });
        },
        [this, remove]() {
            const bool named = remove->count("NAME") != 0;
            if (named == m_deleteAll)
                throw CLI::ValidationError("delete", "give either NAME or --all");
        });
}

ECRArticleCommands::ArticleWalk ArticleSubcommands::ReadTable(CliSession& s, std::int32_t& code)
{
    const ECRVerdictWatch watch(s.Device().Verdicts());
    const ECRArticleCommands::ArticleWalk walk =
        s.Device().ReadAllArticles([&s](std::size_t read) { s.Output().Progress(read, 0, "articles read"); });
    // An answer that failed its check reads as an empty article: not the register's list.
    CliSession::ThrowIfAnyFailedCheck(watch);
    // The walk ends at a refused read, if one was refused.
    code = s.Device().LastVerdict().code;
    s.Output().EndProgress();
    return walk;
}

void ArticleSubcommands::ThrowIfIncomplete(ECRArticleCommands::ArticleWalk walk, std::int32_t code)
{
    using Walk = ECRArticleCommands::ArticleWalk;
    switch (walk) {
    case Walk::Complete:
    case Walk::NoArticles:
        return;
    case Walk::Refused:
        throw CliSession::Refusal(code);
    case Walk::EmptyName:
        throw CliFailure(CliFailure::kLink, "the list ends early: the register sent an article without a name");
    case Walk::RepeatedName:
        throw CliFailure(CliFailure::kLink,
                         "the list ends early: the register sent an article name it had sent before");
    case Walk::TooMany:
        throw CliFailure(CliFailure::kLink, "the list ends early: " +
                                                std::to_string(ECRArticleCommands::kMaxArticles) +
                                                " articles read without reaching the last one");
    }
}

void ArticleSubcommands::List(CliSession& s, const std::string& outPath)
{
    std::int32_t code = 0;
    const ECRArticleCommands::ArticleWalk walk = ReadTable(s, code);
    const auto& articles = s.Device().Articles();

    JsonValue& json = s.Output().Result().Set("articles", JsonValue::Array());
    for (const ECRArticle& article : articles) {
        const std::string name = CliArgs::FromRegister(article.name);
        const std::string price = FormatScaled(article.price, 2).Data();
        s.Output().Line(name + "\t" + price + "\t" + std::to_string(article.taxRate) + "\t" +
                        std::to_string(article.unit));
        json.Push(ArticleJson::Listed(article));
    }
    s.Output().Result().Set("count", articles.size());

    // What was printed is only part of the table unless the walk got to the
    // last article; the list file is written for a whole table only.
    if (walk == ECRArticleCommands::ArticleWalk::NoArticles)
        s.Output().Note("no articles in the register");
    ThrowIfIncomplete(walk, code);
    if (!outPath.empty()) {
        FileFault fault;
        if (!ArticleListFile::Write(outPath, articles, fault))
            throw CliFailure::BadInput(fault);
    }
}

void ArticleSubcommands::WriteAll(CliSession& s, std::size_t count,
                                  const std::function<ECRArticle(std::size_t)>& article, const std::string& what)
{
    const ECRVerdictWatch watch(s.Device().Verdicts());
    ArticleUpload upload(s.Device(), count, article);
    // Answered by the register (programmed, refused, or with an answer that
    // failed its check); the rest were skipped because the run ended early.
    const auto report = [&] {
        const std::size_t sent = upload.Sent();
        s.Output().EndProgress();
        s.Output().Result().Set("sent", sent);
        s.Output().Result().Set("accepted", upload.Accepted());
        s.Output().Result().Set("refused", upload.Refused());
        s.Output().Result().Set("unconfirmed", upload.Unconfirmed());
        s.Output().Result().Set("skipped", count - sent);
        std::string line = std::to_string(upload.Accepted()) + " of " + std::to_string(count) + " " + what + ", " +
                           std::to_string(upload.Refused()) + " refused, ";
        if (upload.Unconfirmed() != 0)
            line += std::to_string(upload.Unconfirmed()) + " unconfirmed (the answer failed its check), ";
        s.Output().Line(line + std::to_string(count - sent) + " skipped");
    };
    try {
        upload.Run([&](std::size_t sent) { s.Output().Progress(sent, count, what); });
    } catch (...) {
        report();
        throw;
    }
    report();
    // Whether an article whose answer failed its check was programmed is unknown.
    if (const std::optional<ECRVerdict>& failed = watch.FirstOf(ECRVerdict::Kind::FailedCheck)) {
        const CliFailure check = CliSession::FailedCheck(*failed);
        throw CliFailure(CliFailure::kLink,
                         std::to_string(upload.Unconfirmed()) + " article(s) unconfirmed: " + check.what());
    }
    if (upload.Refused() != 0) {
        const std::int32_t firstCode = upload.FirstRefusalCode();
        const std::string firstName = CliArgs::FromRegister(article(upload.FirstRefusedIndex()).name);
        const CliFailure first = CliSession::Refusal(firstCode);
        throw CliFailure(CliFailure::kRefused,
                         std::to_string(upload.Refused()) + " article(s) refused, the first (" + firstName +
                             "): " + first.what(),
                         firstCode);
    }
}
