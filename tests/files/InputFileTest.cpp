#include "articles/TempFolder.h"

#include "ecr/files/FaultText.h"
#include "ecr/files/InputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#ifndef _WIN32
// FIFOs and devices are POSIX things.
TEST(InputFile, WhatIsNoRegularFileIsRefusedAtOnce)
{
    TempFolder folder;
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.File("folder"));
    // What ecrctl says, and what the dialogs say.
    struct Case {
        std::string path;
        std::string english;
        std::string serbian;
    };
    const Case cases[] = {
        // No writer: an open that waited would hang here.
        {fifo, fifo + ": not a file (a FIFO)", "Problem pri otvaranju fajla: " + fifo + " (nije fajl nego FIFO)"},
        {folder.File("folder"), folder.File("folder") + ": not a file (a directory)",
         "Problem pri otvaranju fajla: " + folder.File("folder") + " (nije fajl nego folder)"},
        {"/dev/zero", "/dev/zero: not a file (a device)", "Problem pri otvaranju fajla: /dev/zero (nije fajl nego uredjaj)"},
        {folder.File("missing"), folder.File("missing") + ": cannot be opened",
         "Problem pri otvaranju fajla: " + folder.File("missing")},
    };
    for (const Case& c : cases) {
        std::string bytes = "untouched";
        FileFault fault;
        EXPECT_FALSE(InputFile::ReadAll(c.path, 1024, bytes, fault)) << c.path;
        EXPECT_EQ(FaultText::Describe(fault, FaultText::Language::English), c.english);
        EXPECT_EQ(FaultText::Describe(fault, FaultText::Language::Serbian), c.serbian);
        EXPECT_EQ(bytes, "untouched");
    }
}

#endif

TEST(InputFile, SizeIsCheckedBeforeAnythingIsRead)
{
    TempFolder folder;
    const std::string exact = folder.Write("exact", std::string(100000, 'a'));
    std::vector<unsigned char> bytes;
    FileFault fault;
    ASSERT_TRUE(InputFile::ReadAll(exact, 100000, bytes, fault));
    EXPECT_EQ(bytes.size(), 100000U);

    // A sparse file of a gigabyte costs no disk; reading it would cost the memory.
    const std::string huge = folder.File("huge");
    std::filesystem::resize_file(folder.Write("huge", ""), 1ULL << 30);
    std::vector<unsigned char> none;
    EXPECT_FALSE(InputFile::ReadAll(huge, 100000, none, fault));
    EXPECT_EQ(FaultText::Describe(fault, FaultText::Language::English), huge + ": larger than 100000 bytes");
    EXPECT_EQ(FaultText::Describe(fault, FaultText::Language::Serbian), "Fajl " + huge + " je veci od 100000 bajtova");
    EXPECT_EQ(none.capacity(), 0U);
}
