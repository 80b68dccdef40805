// Whatever an import file or an article database holds, reading it ends in
// articles or a message. Every imported article is one the register takes
// (so a bad line can never reach it), and no more than it holds; no name of
// either file holds a byte that would split a request's field.
#include "ecr/articles/ArticleDatabase.h"
#include "ecr/articles/ArticleImportFile.h"
#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/TextFault.h"
#include "ecr/files/FaultText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A refusal names the file and can be said in both languages.
bool Said(const FileFault& fault, const char* file)
{
    return fault.file == file && !FaultText::Describe(fault, FaultText::Language::English).empty() &&
           !FaultText::Describe(fault, FaultText::Language::Serbian).empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    std::vector<ECRArticle> articles;
    FileFault fault;
    if (ArticleImportFile::Parse(bytes, "plu.txt", articles, fault)) {
        if (articles.size() > ECRArticleRules::kCapacity)
            std::abort();
        for (const ECRArticle& article : articles) {
            if (ECRArticleRules::Check(article))
                std::abort();
        }
    } else if (!Said(fault, "plu.txt") || !articles.empty()) {
        std::abort();
    }

    std::vector<DatabaseArticle> database;
    if (ArticleDatabase::Parse(bytes, "Baza.txt", database, fault)) {
        TextFault control;
        for (const DatabaseArticle& article : database) {
            if (TextFault::FindControlByte(std::string_view(article.name.Data(), article.name.Length()), control))
                std::abort();
        }
    } else if (!Said(fault, "Baza.txt") || !database.empty()) {
        std::abort();
    }
    return 0;
}
