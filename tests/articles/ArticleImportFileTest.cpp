#include "TempFolder.h"

#include "ecr/articles/ArticleImportFile.h"
#include "ecr/articles/TestArticles.h"
#include "ecr/commands/ECRArticleRules.h"
#include "ecr/files/FaultText.h"
#include "FaultLanguages.h"

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
    const std::string path = folder.Write("import.txt", "Sok,12.5,2,1\r\n\r\n\nMleko,89.90,2,3\n   \n\t\r\nKafa,1,1,1");
    std::vector<ECRArticle> articles;
    FileFault fault;
    ASSERT_TRUE(ArticleImportFile::Read(path, articles, fault)) << FaultText::Describe(fault, English);
    ASSERT_EQ(articles.size(), 3U);
    EXPECT_EQ(articles[0].name, "Sok");
    EXPECT_EQ(articles[0].unit, 1);
    EXPECT_EQ(articles[1].name, "Mleko");
    EXPECT_EQ(articles[1].price, 8990);
    EXPECT_EQ(articles[1].unit, 3);
    EXPECT_EQ(articles[2].name, "Kafa") << "the last line needs no line end";
}

TEST(ArticleImportFileRead, TheWholeFileIsCheckedAndTheFirstBadLineNamed)
{
    // What ecrctl says after the path, and what the dialogs say after "Fajl <path>".
    struct Case {
        std::string text;
        std::string english;
        std::string serbian;
    };
    const std::string longName(33, 'x');
    const Case cases[] = {
        {"Sok,1,2,1\nVoda,1,1,1\nHleb,2,2,1\nLo\tS,1,1,1\nKafa,1,1,1\n",
         ", line 4, name: holds the control byte 0x09 (TAB) at character 3",
         ", red 4, naziv: kontrolni znak 0x09 (TAB) na mestu 3"},
        {"Sok,1,2,1\n\n" + longName + ",1,1,1\n", ", line 3, name: 33 characters, the register takes at most 32",
         ", red 3, naziv: 33 znakova, kasa prima najvise 32"},
        {"Sok,\n", ", line 1, price: outside 0.01..999999.99", ", red 1, cena: van opsega 0.01..999999.99"},
        // Written as words, not fields: the layout is named, not the price's range.
        {"Sok,1,2,1\nHleb 45.50 2 1\n", ", line 2: no comma: expected name,price,tax,unit",
         ", red 2: nema zareza: ocekuje se naziv,cena,stopa,jedinica"},
        {"Sok\n", ", line 1: no comma: expected name,price,tax,unit",
         ", red 1: nema zareza: ocekuje se naziv,cena,stopa,jedinica"},
        {",0\nSok\n", ", line 1, name: empty", ", red 1, naziv: prazan"},
        {"Sok,1000000,1,1\n", ", line 1, price: outside 0.01..999999.99", ", red 1, cena: van opsega 0.01..999999.99"},
        {"Sok,99999999999999,1,1\n", ", line 1, price: outside 0.01..999999.99",
         ", red 1, cena: van opsega 0.01..999999.99"},
        {"Sok,1,9,1\n", ", line 1, tax rate: outside 0..8", ", red 1, poreska stopa: van opsega 0..8"},
        {"Sok,1,1,10\n", ", line 1, unit: outside 0..9", ", red 1, jedinica mere: van opsega 0..9"},
        {",5,1,1\n", ", line 1, name: empty", ", red 1, naziv: prazan"},
        {"S\\ok,5,1,1\n", ", line 1, name: holds a backslash at character 2, which the register refuses",
         ", red 1, naziv: obrnuta kosa crta na mestu 2, koju kasa ne prima"},
        {"Sok,1,1,1\n" + std::string(2000, 'x') + "\n", ", line 2: longer than 1024 bytes",
         ", red 2: duzi od 1024 bajtova"},
        {"Sok,1,1,1\nS" + std::string(1, '\0') + "k,1,1,1\n", ", line 2: holds a zero byte, which no text has",
         ", red 2: nulti bajt, koji nijedan tekst nema"},
        // Valid UTF-8 beyond ASCII makes the file UTF-8; Cyrillic has no Windows-1250 form.
        {"\xC4\x8C" "aj,1,1,1\n\xD0\x96ito,2,1,1\n", ", line 2: '\xD0\x96' (U+0416) at character 1 has no Windows-1250 form",
         ", red 2: znak '\xD0\x96' (U+0416) na mestu 1 ne postoji u kodnoj strani Windows-1250"},
        // With the byte order mark the file must be UTF-8 throughout.
        {"\xEF\xBB\xBF" "Sok,1,1,1\nKafa \xC8,1,1,1\n", ", line 2: not valid UTF-8 at byte 6",
         ", red 2: nije ispravan UTF-8 na bajtu 6"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const std::string path = folder.Write("plu.txt", c.text);
        std::vector<ECRArticle> articles{ArticleImportFile::ParseLine("stale,1,1,1")};
        FileFault fault;
        EXPECT_FALSE(ArticleImportFile::Read(path, articles, fault)) << c.english;
        EXPECT_EQ(fault.file, path);
        EXPECT_EQ(FaultText::Describe(fault, English), path + c.english);
        EXPECT_EQ(FaultText::Describe(fault, Serbian), "Fajl " + path + c.serbian);
        EXPECT_TRUE(articles.empty()) << "nothing of a bad file is handed on";
    }
}

TEST(ArticleImportFileRead, Utf8AndWindows1250FilesGiveTheSameBytes)
{
    // "Čaj" and "Šljiva" as Windows-1250, as UTF-8 with and without the byte order mark.
    const std::string expected[] = {"\xC8" "aj", "\x8A" "ljiva"};
    const std::string files[] = {
        "\xC8" "aj,1,1,1\r\n\x8A" "ljiva,2,1,1\r\n",
        "\xC4\x8C" "aj,1,1,1\r\n\xC5\xA0" "ljiva,2,1,1\r\n",
        "\xEF\xBB\xBF\xC4\x8C" "aj,1,1,1\r\n\xC5\xA0" "ljiva,2,1,1\r\n",
    };
    for (const std::string& text : files) {
        std::vector<ECRArticle> articles;
        FileFault fault;
        ASSERT_TRUE(ArticleImportFile::Parse(text, "plu.txt", articles, fault)) << FaultText::Describe(fault, English);
        ASSERT_EQ(articles.size(), 2U);
        EXPECT_EQ(std::string(articles[0].name.Data()), expected[0]);
        EXPECT_EQ(std::string(articles[1].name.Data()), expected[1]);
    }
    // Only a byte order mark makes an ASCII file UTF-8, which changes nothing.
    std::vector<ECRArticle> articles;
    FileFault fault;
    ASSERT_TRUE(ArticleImportFile::Parse("\xEF\xBB\xBFSok,1,1,1\n", "plu.txt", articles, fault));
    EXPECT_EQ(articles.at(0).name, "Sok");
}

TEST(ArticleImportFileRead, NoMoreArticlesThanTheRegisterHolds)
{
    std::string text;
    for (int i = 0; i < 15000; ++i)
        text += "A" + std::to_string(i) + ",1,1,1\n";
    std::vector<ECRArticle> articles;
    FileFault fault;
    ASSERT_TRUE(ArticleImportFile::Parse(text, "plu.txt", articles, fault));
    EXPECT_EQ(articles.size(), 15000U);
    text += "Jos,1,1,1\n";
    EXPECT_FALSE(ArticleImportFile::Parse(text, "plu.txt", articles, fault));
    EXPECT_EQ(FaultText::Describe(fault, English), "plu.txt: 15001 articles, more than the register holds (15000)");
    EXPECT_EQ(FaultText::Describe(fault, Serbian), "Fajl plu.txt: 15001 artikala, a kasa prima najvise 15000");
}

TEST(ArticleImportFileRead, MissingFileIsReportedWithItsPath)
{
    std::vector<ECRArticle> articles;
    FileFault fault;
    EXPECT_FALSE(ArticleImportFile::Read("/nonexistent/plu.txt", articles, fault));
    // The dialogs' words are the design's.
    EXPECT_EQ(FaultText::Describe(fault, Serbian), "Problem pri otvaranju fajla: /nonexistent/plu.txt");
    EXPECT_EQ(FaultText::Describe(fault, English), "/nonexistent/plu.txt: cannot be opened");
}

TEST(TestArticlesMake, TheLoadTestArticlesAndTheRangesARegisterTakes)
{
    const ECRArticle first = TestArticles::Make(TestArticles::kFirst);
    EXPECT_EQ(first.name, "Artikal2");
    EXPECT_EQ(first.price, 200);
    EXPECT_EQ(first.taxRate, 3);
    EXPECT_EQ(first.unit, 2);
    const ECRArticle last = TestArticles::Make(TestArticles::kLast);
    EXPECT_EQ(last.name, "Artikal15000");
    EXPECT_EQ(last.price, 1500000);
    EXPECT_FALSE(ECRArticleRules::Check(TestArticles::Make(TestArticles::kLargest)));

    EXPECT_TRUE(TestArticles::IsValidRange(TestArticles::kFirst, TestArticles::kLast));
    EXPECT_TRUE(TestArticles::IsValidRange(1, 15000));
    EXPECT_TRUE(TestArticles::IsValidRange(985000, 999999));
    EXPECT_FALSE(TestArticles::IsValidRange(1, 15001)) << "more than the register holds";
    EXPECT_FALSE(TestArticles::IsValidRange(0, 10)) << "Artikal0 would cost 0.00";
    EXPECT_FALSE(TestArticles::IsValidRange(999999, 1000000)) << "10000.00 is beyond the register's price";
    EXPECT_FALSE(TestArticles::IsValidRange(5, 4));
    EXPECT_FALSE(TestArticles::IsValidRange(2, 21000000));
}
