#include "articles/TempFolder.h"

#include "ecr/files/InputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

TEST(InputFile, WhatIsNoRegularFileIsRefusedAtOnce)
{
    TempFolder folder;
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.File("folder"));
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {fifo, fifo + ": not a file (a FIFO)"},  // no writer: an open that waited would hang here
        {folder.File("folder"), folder.File("folder") + ": not a file (a directory)"},
        {"/dev/zero", "/dev/zero: not a file (a device)"},
        {folder.File("missing"), "Problem pri otvaranju fajla: " + folder.File("missing")},
    };
    for (const Case& c : cases) {
        std::string bytes = "untouched";
        std::string error;
        EXPECT_FALSE(InputFile::ReadAll(c.path, 1024, bytes, error)) << c.path;
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(bytes, "untouched");
    }
}

TEST(InputFile, SizeIsCheckedBeforeAnythingIsRead)
{
    TempFolder folder;
    const std::string exact = folder.Write("exact", std::string(100000, 'a'));
    std::vector<unsigned char> bytes;
    std::string error;
    ASSERT_TRUE(InputFile::ReadAll(exact, 100000, bytes, error)) << error;
    EXPECT_EQ(bytes.size(), 100000U);

    // A sparse file of a gigabyte costs no disk; reading it would cost the memory.
    const std::string huge = folder.File("huge");
    std::filesystem::resize_file(folder.Write("huge", ""), 1ULL << 30);
    std::vector<unsigned char> none;
    EXPECT_FALSE(InputFile::ReadAll(huge, 100000, none, error));
    EXPECT_EQ(error, huge + ": larger than 100000 bytes");
    EXPECT_EQ(none.capacity(), 0U);
}
