#include "TempFolder.h"

#include "ecr/articles/ArticleDatabase.h"
#include "ecr/files/FaultText.h"
#include "FaultLanguages.h"

#include <gtest/gtest.h>

TEST(ArticleDatabaseLine, FieldsAndDefaults)
{
    const DatabaseArticle milk = ArticleDatabase::ParseLine("Mleko\t123\t89.90\t2");
    EXPECT_EQ(milk.name, "Mleko");
    EXPECT_EQ(milk.barcode, "123");
    EXPECT_EQ(milk.price, 8990);
    EXPECT_EQ(milk.taxRate, 2);
    EXPECT_EQ(milk.unit, 0);

    const DatabaseArticle bread = ArticleDatabase::ParseLine("Hleb\t456\t45\t1\tignored\tfields");
    EXPECT_EQ(bread.price, 4500);
    EXPECT_EQ(bread.taxRate, 1);

    const DatabaseArticle bare = ArticleDatabase::ParseLine("Samo naziv");
    EXPECT_EQ(bare.name, "Samo naziv");
    EXPECT_EQ(bare.barcode, "");
    EXPECT_EQ(bare.price, 0);
}

TEST(ArticleDatabaseRead, CrLfBlankAndLongLines)
{
    TempFolder folder;
    const std::string longName(600, 'm');
    const std::string path =
        folder.Write("Baza.txt", "Mleko\t123\t89.90\t2\r\n\r\n" + longName + "\t777\t1.00\t3\r\nSok\t9\t1\t2\r\n\n");
    std::vector<DatabaseArticle> articles;
    FileFault fault;
    ASSERT_TRUE(ArticleDatabase::Read(path, articles, fault)) << FaultText::Describe(fault, English);
    ASSERT_EQ(articles.size(), 3U);
    EXPECT_EQ(articles[0].taxRate, 2);
    EXPECT_EQ(articles[1].name.Length(), 600U);
    EXPECT_EQ(articles[1].barcode, "777");
    EXPECT_EQ(articles[2].name, "Sok");
}

TEST(ArticleDatabaseRead, Utf8NamesAreStoredAsTheRegistersBytes)
{
    // A UTF-8 "Čaj" must become the byte the register knows, or it could
    // never be sold or deleted by its name.
    std::vector<DatabaseArticle> articles;
    FileFault fault;
    ASSERT_TRUE(ArticleDatabase::Parse("\xC4\x8C" "aj\t1\t2.50\t1\n", "Baza.txt", articles, fault));
    ASSERT_EQ(articles.size(), 1U);
    EXPECT_EQ(std::string(articles[0].name.Data()), "\xC8" "aj");
    EXPECT_EQ(articles[0].price, 250);
}

TEST(ArticleDatabaseRead, ANameThatWouldCorruptASaleIsRefusedWithItsLine)
{
    std::vector<DatabaseArticle> articles;
    FileFault fault;
    EXPECT_FALSE(ArticleDatabase::Parse("Mleko\t1\t1\t1\nHl\x1F" "eb\t2\t1\t1\n", "Baza.txt", articles, fault));
    EXPECT_EQ(FaultText::Describe(fault, English), "Baza.txt, line 2, name: holds the control byte 0x1F (US) at character 3");
    EXPECT_EQ(FaultText::Describe(fault, Serbian), "Fajl Baza.txt, red 2, naziv: kontrolni znak 0x1F (US) na mestu 3");
    EXPECT_TRUE(articles.empty());
}

TEST(ArticleDatabaseRead, MissingDatabaseGivesTheMessageAndAnEmptyList)
{
    std::vector<DatabaseArticle> articles{ArticleDatabase::ParseLine("stale\t1\t1\t1")};
    FileFault fault;
    EXPECT_FALSE(ArticleDatabase::Read("/nonexistent/Baza/Baza.txt", articles, fault));
    EXPECT_EQ(FaultText::Describe(fault, Serbian), "Problem pri otvaranju fajla: /nonexistent/Baza/Baza.txt");
    EXPECT_TRUE(articles.empty());
}

TEST(ArticleDatabaseBarcode, FirstExactMatchWins)
{
    const std::vector<DatabaseArticle> articles{ArticleDatabase::ParseLine("Prvi\t123\t1\t1"),
                                                ArticleDatabase::ParseLine("Drugi\t123\t2\t1"),
                                                ArticleDatabase::ParseLine("Treci\t1234\t3\t1")};
    const DatabaseArticle* found = ArticleDatabase::FindBarcode(articles, "123");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, "Prvi");
    EXPECT_EQ(ArticleDatabase::FindBarcode(articles, "12"), nullptr);
    EXPECT_EQ(ArticleDatabase::FindBarcode(articles, "999"), nullptr);
}
