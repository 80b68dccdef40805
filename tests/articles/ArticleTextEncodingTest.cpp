#include "TempFolder.h"
#include "ecr/articles/ArticleDatabase.h"
#include "ecr/articles/ArticleImportFile.h"
#include "ecr/articles/ArticleTextEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Utf8Case {
    const char* what;
    std::string bytes;
    bool utf8;
};

TEST(ArticleTextEncoding, WhatCountsAsUtf8)
{
    const Utf8Case cases[] = {
        {"plain ASCII is the same either way", "Sok,1,2,3\n", false},
        {"two-byte letter",
         "\xC4\x8C"
         "aj",
         true},
        {"three-byte character", "\xE6\x97\xA5", true},
        {"four-byte character", "\xF0\x9F\x98\x80", true},
        {"byte order mark alone",
         "\xEF\xBB\xBF"
         "Sok",
         true},
        {"Windows-1250 letter",
         "\xC8"
         "aj",
         false},
        {"overlong zero", "Sok\xC0\x80", false},
        {"overlong slash", "\xE0\x80\xAF", false},
        {"surrogate half", "\xED\xA0\x80", false},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false},
        {"lead byte F5", "\xF5\x80\x80\x80", false},
        {"lone continuation byte", "\x80", false},
        {"sequence cut short at the end", "\xC4\x8C\xC4", false},
        {"valid start, Windows-1250 later",
         "\xC4\x8C"
         "aj\n\x9A"
         "ljiva",
         false},
    };
    for (const Utf8Case& c : cases) {
        EXPECT_EQ(ArticleTextEncoding::IsUtf8(c.bytes), c.utf8) << c.what;
    }
}

TEST(ArticleTextEncoding, UnmappableCharacterIsNamed)
{
    std::string bytes;
    char32_t bad = 0;
    EXPECT_TRUE(
        ArticleTextEncoding::ToWindows1250("\xC4\x8C"
                                           "a\xC5\xA1",
                                           bytes, bad));
    EXPECT_EQ(bytes,
              "\xC8"
              "a\x9A");
    EXPECT_FALSE(ArticleTextEncoding::ToWindows1250("Sok \xE6\x97\xA5", bytes, bad));
    EXPECT_EQ(bad, U'\u65E5');
    EXPECT_EQ(ArticleTextEncoding::RefusalText(bad), "znak U+65E5 nema oblik u kodnoj strani kase (Windows-1250)");
    EXPECT_FALSE(ArticleTextEncoding::ToWindows1250("\xC0\x80", bytes, bad));
    EXPECT_EQ(ArticleTextEncoding::RefusalText(bad), "neispravan UTF-8 zapis");
}

struct FileCase {
    const char* what;
    std::string file;
    std::vector<std::string> names;  // Windows-1250 bytes
    std::string error;               // after "Fajl <path>, red "
};

TEST(ArticleTextEncoding, ImportFilesInEitherEncoding)
{
    const FileCase cases[] = {
        {"Windows-1250 bytes stay as they are",
         "\xC8"
         "aj,1,2,0\r\n\x8A"
         "ljiva,2,2,0\r\n",
         {"\xC8"
          "aj",
          "\x8A"
          "ljiva"},
         ""},
        {"UTF-8 is converted",
         "\xC4\x8C"
         "aj,1,2,0\n\xC5\xA0ljiva,2,2,0\n",
         {"\xC8"
          "aj",
          "\x8A"
          "ljiva"},
         ""},
        {"the byte order mark is not part of the first name",
         "\xEF\xBB\xBF"
         "Sok,1,2,0\n",
         {"Sok"},
         ""},
        {"a character the register lacks stops at its line, blank lines counted",
         "\xC4\x8C"
         "aj,1,2,0\n\n\xE6\x97\xA5,1,2,0\nSok,1,2,0\n",
         {"\xC8"
          "aj"},
         "3: znak U+65E5 nema oblik u kodnoj strani kase (Windows-1250)"},
        {"a byte order mark with broken UTF-8 after it",
         "\xEF\xBB\xBF"
         "Sok,1,2,0\nK\xC0\x80,1,2,0\n",
         {"Sok"},
         "2: neispravan UTF-8 zapis"},
    };
    for (const FileCase& c : cases) {
        TempFolder folder;
        const std::string path = folder.Write("plu.txt", c.file);
        std::vector<ECRArticle> articles;
        std::string error;
        EXPECT_EQ(ArticleImportFile::Read(path, articles, error), c.error.empty()) << c.what;
        if (!c.error.empty()) {
            EXPECT_EQ(error, "Fajl " + path + ", red " + c.error) << c.what;
        }
        std::vector<std::string> names;
        for (const ECRArticle& article : articles) {
            names.emplace_back(article.name.Data(), article.name.Length());
        }
        EXPECT_EQ(names, c.names) << c.what;
    }
}

TEST(ArticleTextEncoding, DatabaseInUtf8)
{
    TempFolder folder;
    const std::string path = folder.Write("Baza.txt",
                                          "\xEF\xBB\xBF\xC4\x8C"
                                          "aj\t860\t120.50\t2\r\n");
    std::vector<DatabaseArticle> articles;
    std::string error;
    ASSERT_TRUE(ArticleDatabase::Read(path, articles, error)) << error;
    ASSERT_EQ(articles.size(), 1U);
    EXPECT_EQ(articles[0].name,
              "\xC8"
              "aj");
    EXPECT_EQ(articles[0].barcode, "860");
    EXPECT_EQ(articles[0].price, 12050);
}

}  // namespace
