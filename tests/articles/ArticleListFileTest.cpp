#include "TempFolder.h"

#include "ecr/articles/ArticleListFile.h"
#include "ecr/files/FaultText.h"
#include "FaultLanguages.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

ECRArticle Article(const char* name, int price, int value1, int taxRate, int unit)
{
    ECRArticle a;
    a.name = name;
    a.price = price;
    a.value1 = value1;
    a.taxRate = taxRate;
    a.unit = unit;
    a.value2 = 99;  // never written
    return a;
}

}  // namespace

TEST(ArticleListFileFormat, FieldOrderAndLineEnd)
{
    EXPECT_EQ(ArticleListFile::FormatLine(Article("Sok", 1250, 0, 2, 1)), "Sok,1250,0,2,1\r\n");
    EXPECT_EQ(ArticleListFile::FormatLine(Article("Mleko 1l", 5, 7, 0, -1)), "Mleko 1l,5,7,0,-1\r\n");
    EXPECT_EQ(ArticleListFile::Format({Article("A", 1, 2, 3, 4), Article("B", 10, 0, 1, 0)}),
              "A,1,2,3,4\r\nB,10,0,1,0\r\n");
}

TEST(ArticleListFileWrite, ReplacesTheFileCompletely)
{
    TempFolder folder;
    const std::string path = folder.Write("list.txt", std::string(5000, 'o'));
    FileFault fault;
    ASSERT_TRUE(ArticleListFile::Write(path, {Article("Sok", 1250, 0, 2, 1)}, fault)) << FaultText::Describe(fault, English);
    EXPECT_EQ(TempFolder::Read(path), "Sok,1250,0,2,1\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")), {}), 1) << "no temporary file left";
}

TEST(ArticleListFileWrite, ATargetThatIsNoFileIsReported)
{
    // The write itself is tried in every way in files_tests; here only that
    // its refusal reaches the caller.
    TempFolder folder;
    std::filesystem::create_directory(folder.File("list.txt"));
    FileFault fault;
    EXPECT_FALSE(ArticleListFile::Write(folder.File("list.txt"), {Article("Novi", 1, 0, 1, 0)}, fault));
    EXPECT_EQ(FaultText::Describe(fault, English), folder.File("list.txt") + ": not a file (a directory); nothing written");
    EXPECT_EQ(FaultText::Describe(fault, Serbian),
              "Problem pri upisu u fajl: " + folder.File("list.txt") + " (nije fajl nego folder); nista nije upisano");
}

TEST(ArticleListFileWrite, UncreatableFileIsReported)
{
    FileFault fault;
    EXPECT_FALSE(ArticleListFile::Write("/nonexistent/folder/list.txt", {}, fault));
    EXPECT_EQ(FaultText::Describe(fault, English), "/nonexistent/folder/list.txt: cannot be opened (No such file or directory)");
    EXPECT_EQ(FaultText::Describe(fault, Serbian), "Problem pri otvaranju fajla: /nonexistent/folder/list.txt (ne postoji)");
}
