#include "cli/ArticleSubcommands.h"

#include "cli/CliArgs.h"
#include "cli/CliSession.h"
#include "ecr/articles/ArticleImportFile.h"
#include "ecr/articles/ArticleListFile.h"
#include "ecr/articles/ArticleUpload.h"
#include "ecr/articles/TestArticles.h"
#include "ecr/commands/ScaledAmount.h"

void ArticleSubcommands::Register(CLI::App& app, CliAction& chosen)
{
    CLI::App* articles = app.add_subcommand("articles", "The register's articles (PLU)");
    articles->require_subcommand(1);

    CLI::App* list = articles->add_subcommand("list", "Read all articles and print them");
    list->add_option("--out", m_outPath, "also save them as an article list file");
    OnChosen(list, chosen, [this](CliSession& s) { List(s, m_outPath); });

    CLI::App* import = articles->add_subcommand("import", "Program the articles of an import file (name,price,tax,unit)");
    import->add_option("FILE", m_importPath, "article import file")->required();
    OnChosen(import, chosen, [this](CliSession& s) {
        std::vector<ECRArticle> fromFile;
        std::string error;
        if (!ArticleImportFile::Read(m_importPath, fromFile, error))
            throw CliFailure(CliFailure::kBadInput, error);
        WriteAll(s, fromFile, "articles imported");
    });

    CLI::App* generate = articles->add_subcommand("generate", "Program the test articles Artikal<i> at i.00");
    generate->add_option("--from", m_from, "first i")->capture_default_str();
    generate->add_option("--to", m_to, "last i")->capture_default_str();
    OnChosen(
        generate, chosen, [this](CliSession& s) { WriteAll(s, TestArticles::Generate(m_from, m_to), "articles sent"); },
        [this]() {
            if (m_from > m_to || m_from < 0 || m_to > 21000000)
                throw CLI::ValidationError("--from/--to", "need 0 <= from <= to <= 21000000");
        });

    CLI::App* remove = articles->add_subcommand("delete", "Delete one article by name, or all of them");
    remove->add_option("NAME", m_deleteName, "article name");
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

void ArticleSubcommands::List(CliSession& s, const std::string& outPath)
{
    std::size_t reads = 0;
    s.SetRequestObserver([&s, &reads](const ECRString& request) {
        if (request.Length() >= 2 && request.Data()[0] == '$' && request.Data()[1] == 'o')
            s.Output().Progress(++reads, 0, "articles read");
    });
    ECRMessageSink::ResetLastCode();
    const std::uint64_t mismatched = s.MismatchedReplies();
    s.Device().ReadAllArticles();
    s.SetRequestObserver(nullptr);
    // An answer for another command reads as an empty article: not the register's list.
    s.ThrowIfMismatched(mismatched);
    const std::int32_t code = ECRProtocol::LastErrorCode();
    const auto& articles = s.Device().Articles();

    JsonValue& json = s.Output().Result().Set("articles", JsonValue::Array());
    for (const ECRArticle& article : articles) {
        const std::string name = CliArgs::FromRegister(article.name);
        const std::string price = FormatScaled(article.price, 2).Data();
        s.Output().Line(name + "\t" + price + "\t" + std::to_string(article.taxRate) + "\t" +
                        std::to_string(article.unit));
        JsonValue item = JsonValue::Object();
        item.Set("name", name);
        item.Set("price", price);
        item.Set("priceHundredths", article.price);
        item.Set("taxRate", article.taxRate);
        item.Set("unit", article.unit);
        item.Set("value1", article.value1);
        item.Set("value2", article.value2);
        json.Push(std::move(item));
    }
    s.Output().Result().Set("count", articles.size());
    s.Output().EndProgress();

    if (!outPath.empty()) {
        std::string error;
        if (!ArticleListFile::Write(outPath, articles, error))
            throw CliFailure(CliFailure::kBadInput, error);
    }
    // An empty table answers the very first read with a refusal; that is not a failure.
    if (articles.empty())
        s.Output().Note("no articles in the register");
    else if (code != 0)
        throw CliSession::Refusal(code);
}

void ArticleSubcommands::WriteAll(CliSession& s, const std::vector<ECRArticle>& articles, const std::string& what)
{
    const std::uint64_t mismatched = s.MismatchedReplies();
    ArticleUpload upload(s.Device(), articles.size(), [&articles](std::size_t i) { return articles[i]; });
    upload.Run([&](std::size_t sent) { s.Output().Progress(sent, articles.size(), what); });
    const std::size_t refused = upload.Refused();
    s.Output().EndProgress();
    s.Output().Result().Set("sent", articles.size());
    s.Output().Result().Set("refused", refused);
    s.Output().Line(std::to_string(articles.size() - refused) + " of " + std::to_string(articles.size()) + " " + what);
    // Whether an article answered for another command was programmed is unknown.
    s.ThrowIfMismatched(mismatched);
    if (refused != 0) {
        const std::int32_t firstCode = upload.FirstRefusalCode();
        const std::string firstName = CliArgs::FromRegister(articles[upload.FirstRefusedIndex()].name);
        const CliFailure first = CliSession::Refusal(firstCode);
        throw CliFailure(CliFailure::kRefused,
                         std::to_string(refused) + " article(s) refused, the first (" + firstName + "): " + first.what(),
                         firstCode);
    }
}
