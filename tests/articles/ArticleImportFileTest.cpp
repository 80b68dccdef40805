#include "TempFolder.h"

#include "ecr/articles/ArticleImportFile.h"
#include "ecr/articles/TestArticles.h"

#include <gtest/gtest.h>

#include <string>
#include <ostream>

namespace {

struct ImportCase {
    const char* line;
    const char* name;
    int price;
    int taxRate;
    int unit;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ImportCase& c, std::ostream* os)
{
    *os << c.name;
}

class ImportLine : public testing::TestWithParam<ImportCase> {};

}  // namespace

TEST_P(ImportLine, FieldsConvertAsTheDialogsDo)
{
    const ImportCase& c = GetParam();
    const ECRArticle article = ArticleImportFile::ParseLine(c.line);
    EXPECT_EQ(std::string(article.name.Data()), c.name);
    EXPECT_EQ(article.price, c.price);
    EXPECT_EQ(article.taxRate, c.taxRate);
    EXPECT_EQ(article.unit, c.unit);
    EXPECT_EQ(article.value1, 0);
    EXPECT_EQ(article.value2, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ImportLine,
    testing::Values(ImportCase{"Sok,12.5,2,1", "Sok", 1250, 2, 1}, ImportCase{"Sok,12,2,1", "Sok", 1200, 2, 1},
                    ImportCase{"Sok,12.345,2,1", "Sok", 1234, 2, 1},
                    ImportCase{"Beli hleb ,45.90, 1 ,0", "Beli hleb ", 4590, 1, 0},
                    ImportCase{"Sok", "Sok", 0, 0, 0}, ImportCase{"Sok,1.5", "Sok", 150, 0, 0},
                    ImportCase{"Sok,3,2,1,extra,fields", "Sok", 300, 2, 1},
                    ImportCase{",5,x,-2", "", 500, 0, -2}));

TEST(ArticleImportFileRead, LineEndsNeverReachTheArticleAndBlankLinesAreSkipped)
{
    TempFolder folder;
    const std::string path = folder.Write("import.txt", "Sok,12.5,2,1\r\n\r\n\nMleko,89.90,2,3\n   \nHleb\n\t\r\nKafa,1,1,1");
    std::vector<ECRArticle> articles;
    std::string error;
    ASSERT_TRUE(ArticleImportFile::Read(path, articles, error)) << error;
    ASSERT_EQ(articles.size(), 4U);
    EXPECT_EQ(articles[0].name, "Sok");
    EXPECT_EQ(articles[0].unit, 1);
    EXPECT_EQ(articles[1].name, "Mleko");
    EXPECT_EQ(articles[1].price, 8990);
    EXPECT_EQ(articles[1].unit, 3);
    EXPECT_EQ(articles[2].name, "Hleb") << "a line without commas is a name without its line end";
    EXPECT_EQ(articles[3].name, "Kafa") << "the last line needs no line end";
}

TEST(ArticleImportFileRead, LongLineStaysOneArticle)
{
    TempFolder folder;
    const std::string longName(1000, 'x');
    const std::string path = folder.Write("long.txt", longName + ",7.25,4,5\nSok,1,1,1\n");
    std::vector<ECRArticle> articles;
    std::string error;
    ASSERT_TRUE(ArticleImportFile::Read(path, articles, error));
    ASSERT_EQ(articles.size(), 2U);
    EXPECT_EQ(articles[0].name.Length(), 1000U);
    EXPECT_EQ(articles[0].price, 725);
    EXPECT_EQ(articles[0].unit, 5);
}

TEST(ArticleImportFileRead, MissingFileIsReportedWithItsPath)
{
    std::vector<ECRArticle> articles;
    std::string error;
    EXPECT_FALSE(ArticleImportFile::Read("/nonexistent/plu.txt", articles, error));
    EXPECT_EQ(error, "Problem pri otvaranju fajla: /nonexistent/plu.txt");
}

TEST(TestArticlesGenerate, FullRunAndCustomRange)
{
    const std::vector<ECRArticle> all = TestArticles::Generate();
    ASSERT_EQ(all.size(), 14999U);
    EXPECT_EQ(all.front().name, "Artikal2");
    EXPECT_EQ(all.front().price, 200);
    EXPECT_EQ(all.back().name, "Artikal15000");
    EXPECT_EQ(all.back().price, 1500000);
    for (const ECRArticle& a : all) {
        ASSERT_EQ(a.taxRate, 3);
        ASSERT_EQ(a.unit, 2);
    }
    EXPECT_EQ(TestArticles::Generate(10, 12).size(), 3U);
    EXPECT_TRUE(TestArticles::Generate(5, 4).empty());
}
