// The all-or-nothing file write, tried the way an attacker or a full disk
// would try it. Run as root, as the tool may be.
#include "articles/TempFolder.h"

#include "ecr/files/FaultText.h"
#include "ecr/files/SafeFileWrite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string English(const FileFault& fault)
{
    return FaultText::Describe(fault, FaultText::Language::English);
}

std::string Serbian(const FileFault& fault)
{
    return FaultText::Describe(fault, FaultText::Language::Serbian);
}

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The steps Write takes, recorded, and the one named made to fail with error
// instead of being done; installed for as long as it lives.
class InjectedCalls : public SafeFileWrite::Calls {
public:
    explicit InjectedCalls(std::string failing = {}, int error = 0)
        : m_failing(std::move(failing)), m_error(error), m_previous(SafeFileWrite::UseCalls(this))
    {
    }
    ~InjectedCalls() override { SafeFileWrite::UseCalls(m_previous); }
    InjectedCalls(const InjectedCalls&) = delete;
    InjectedCalls& operator=(const InjectedCalls&) = delete;

    long long Write(int fd, const char* data, std::size_t count) override
    {
        return Step("write") ? Calls::Write(fd, data, count) : -1;
    }
    int Sync(int fd) override { return Step("sync") ? Calls::Sync(fd) : -1; }
    int Close(int fd) override
    {
        // A close that fails still lets the descriptor go, as Linux does.
        const int closed = Calls::Close(fd);
        return Step("close") ? closed : -1;
    }
    int Rename(const std::string& from, const std::string& to) override
    {
        return Step("rename") ? Calls::Rename(from, to) : -1;
    }
    int SyncFolder(const std::string& folder) override
    {
        syncedFolder = folder;
        return Step("sync folder") ? Calls::SyncFolder(folder) : -1;
    }

    std::vector<std::string> steps;
    std::string syncedFolder;

private:
    // False, with errno set, for the step to fail.
    bool Step(const std::string& name)
    {
        steps.push_back(name);
        if (name != m_failing)
            return true;
        errno = m_error;
        return false;
    }

    std::string m_failing;
    int m_error;
    SafeFileWrite::Calls* m_previous;
};

#ifndef _WIN32
mode_t ModeOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode;
}

// A device node like the system's, made in the test's folder so that a
// faulty write can never replace the real one.
bool MakeDevice(const std::string& path, unsigned minor)
{
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

#endif

}  // namespace

// What every platform must do: a new file, a replaced one, and a folder that
// is not there, which fails and leaves nothing behind.
TEST(SafeFileWrite, WritesANewFileReplacesAnOldOneWholeAndFailsCleanly)
{
    TempFolder folder;
    const std::string path = folder.File("dump.bin");
    FileFault fault;
    ASSERT_TRUE(SafeFileWrite::Write(path, std::string("first\0bytes", 11), fault)) << English(fault);
    EXPECT_EQ(TempFolder::Read(path), std::string("first\0bytes", 11));
    ASSERT_TRUE(SafeFileWrite::Write(path, "second", fault)) << English(fault);
    EXPECT_EQ(TempFolder::Read(path), "second");
    EXPECT_EQ(Names(folder.File("")), std::vector<std::string>{"dump.bin"});

    EXPECT_FALSE(SafeFileWrite::Write(folder.File("no such folder/dump.bin"), "x", fault));
    EXPECT_FALSE(English(fault).empty());
    EXPECT_FALSE(Serbian(fault).empty());
    EXPECT_EQ(Names(folder.File("")), std::vector<std::string>{"dump.bin"});
}

// The order that leaves, after a power cut, one whole file or the other: the
// bytes on the disk before the rename, the rename on the disk before Write
// says it is done.
TEST(SafeFileWrite, SyncsTheFileBeforeTheRenameAndTheFolderAfterIt)
{
    TempFolder folder;
    const std::string path = folder.Write("dump.bin", "old");
    InjectedCalls calls;
    FileFault fault;
    ASSERT_TRUE(SafeFileWrite::Write(path, "new", fault)) << English(fault);
    EXPECT_EQ(calls.steps, (std::vector<std::string>{"write", "sync", "close", "rename", "sync folder"}));
    EXPECT_EQ(calls.syncedFolder, fs::path(path).parent_path().string());
    EXPECT_EQ(TempFolder::Read(path), "new");
}

TEST(SafeFileWrite, AFailingStepKeepsTheEarlierFileAndLeavesNoTemporaryOne)
{
    using Kind = FileFault::Kind;
    const std::string earlier("the earlier\0dump", 16);
    struct Case {
        std::string step;
        int error;
        std::vector<std::string> steps;  // those taken: none after the failure but the temporary file's close
        Kind kind;
        std::string contents;
    };
    const Case cases[] = {
        {"write", ENOSPC, {"write", "close"}, Kind::CannotWrite, earlier},
        {"sync", EIO, {"write", "sync", "close"}, Kind::CannotWrite, earlier},
        {"close", ENOSPC, {"write", "sync", "close"}, Kind::CannotWrite, earlier},
        {"rename", EACCES, {"write", "sync", "close", "rename"}, Kind::CannotWrite, earlier},
        // After the rename the earlier file is gone; the new one is whole but
        // may not outlive a power cut, and Write says so instead of succeeding.
        {"sync folder", EIO, {"write", "sync", "close", "rename", "sync folder"}, Kind::FolderNotSynced, "new"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string path = folder.Write("dump.bin", earlier);
        InjectedCalls calls(c.step, c.error);
        FileFault fault;
        EXPECT_FALSE(SafeFileWrite::Write(path, "new", fault)) << c.step;
        EXPECT_EQ(calls.steps, c.steps) << c.step;
        EXPECT_EQ(fault.kind, c.kind) << c.step;
        EXPECT_EQ(fault.file, path) << c.step;
        EXPECT_EQ(fault.systemError, c.error) << c.step;
        EXPECT_EQ(TempFolder::Read(path), c.contents) << c.step;
        EXPECT_EQ(Names(folder.File("")), std::vector<std::string>{"dump.bin"}) << c.step;
    }
}

#ifndef _WIN32
// The rest needs what only POSIX systems have: modes, device nodes, FIFOs,
// mounts, users.
TEST(SafeFileWrite, ReplacesTheFileKeepingItsPermissionsAndLeavesNothingBehind)
{
    TempFolder folder;
    const std::string path = folder.Write("dump.bin", std::string(5000, 'o'));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    FileFault fault;
    ASSERT_TRUE(SafeFileWrite::Write(path, "new", fault)) << English(fault);
    EXPECT_EQ(TempFolder::Read(path), "new");
    EXPECT_EQ(ModeOf(path) & 07777, 0640U);
    EXPECT_EQ(Names(folder.File("")), std::vector<std::string>{"dump.bin"});

    // A new file gets the usual permissions, not the temporary file's private ones.
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(SafeFileWrite::Write(folder.File("new.bin"), "x", fault)) << English(fault);
    ::umask(mask);
    EXPECT_EQ(ModeOf(folder.File("new.bin")) & 07777, 0644U);
}

TEST(SafeFileWrite, APlantedSymlinkAtTheOldTemporaryNameIsNeverFollowed)
{
    TempFolder folder;
    const std::string victim = folder.Write("victim", "precious");
    const std::string path = folder.File("list.txt");
    fs::create_symlink(victim, path + ".tmp");
    FileFault fault;
    ASSERT_TRUE(SafeFileWrite::Write(path, "Sok,1250,0,2,1\r\n", fault)) << English(fault);
    EXPECT_EQ(TempFolder::Read(victim), "precious");
    EXPECT_EQ(TempFolder::Read(path), "Sok,1250,0,2,1\r\n");
    EXPECT_TRUE(fs::is_symlink(path + ".tmp"));
}

TEST(SafeFileWrite, ASymlinkTargetIsWrittenThroughAndStaysALink)
{
    TempFolder folder;
    fs::create_directory(folder.File("real"));
    const std::string real = folder.Write("real/list.txt", "old");
    const std::string link = folder.File("link.txt");
    fs::create_symlink(real, link);
    FileFault fault;
    ASSERT_TRUE(SafeFileWrite::Write(link, "new", fault)) << English(fault);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(TempFolder::Read(real), "new");
    EXPECT_EQ(Names(folder.File("real")), std::vector<std::string>{"list.txt"}) << "the temporary file was the target's";
}

TEST(SafeFileWrite, WhatIsNoFileIsRefusedAndLeftAsItWas)
{
    TempFolder folder;
    fs::create_directory(folder.File("folder"));
    fs::create_symlink(folder.File("nothing"), folder.File("dangling"));
    struct Case {
        std::string path;
        FileFault::Kind kind;
        std::string english;
        std::string serbian;
    };
    const Case cases[] = {
        {folder.File("folder"), FileFault::Kind::NotReplaceable,
         folder.File("folder") + ": not a file (a directory); nothing written",
         "Problem pri upisu u fajl: " + folder.File("folder") + " (nije fajl nego folder); nista nije upisano"},
        {folder.File("dangling"), FileFault::Kind::DanglingLink,
         folder.File("dangling") + ": a symbolic link to a file that does not exist; not writing through it",
         "Problem pri upisu u fajl: " + folder.File("dangling") +
             " (simbolicka veza ka fajlu koji ne postoji); nista nije upisano"},
        {folder.File("missing/dump.bin"), FileFault::Kind::CannotOpen,
         folder.File("missing/dump.bin") + ": cannot be opened (No such file or directory)",
         "Problem pri otvaranju fajla: " + folder.File("missing/dump.bin") + " (ne postoji)"},
        {"", FileFault::Kind::NoFileName, "no file name given", "Problem pri otvaranju fajla: nije dato ime fajla"},
    };
    for (const Case& c : cases) {
        FileFault fault;
        EXPECT_FALSE(SafeFileWrite::Write(c.path, "x", fault)) << c.path;
        EXPECT_EQ(fault.kind, c.kind) << c.path;
        EXPECT_EQ(English(fault), c.english);
        EXPECT_EQ(Serbian(fault), c.serbian);
        FileFault checkFault;
        EXPECT_FALSE(SafeFileWrite::CheckTarget(c.path, checkFault)) << c.path;
        EXPECT_EQ(English(checkFault), English(fault));
    }
    EXPECT_FALSE(fs::exists(folder.File("nothing")));
    EXPECT_TRUE(fs::is_directory(folder.File("folder")));
    EXPECT_EQ(Names(folder.File("")), (std::vector<std::string>{"dangling", "folder"}));
    FileFault fault;
    EXPECT_TRUE(SafeFileWrite::CheckTarget(folder.File("new.bin"), fault)) << English(fault);
}

TEST(SafeFileWrite, CharacterDevicesAreWrittenInPlaceAndTheirRefusalIsAFailure)
{
    TempFolder folder;
    const std::string null = folder.File("null");
    const std::string full = folder.File("full");
    if (!MakeDevice(null, 3) || !MakeDevice(full, 7))
        GTEST_SKIP() << "device nodes cannot be made here";
    fs::create_symlink(full, folder.File("to-full"));

    FileFault fault;
    EXPECT_TRUE(SafeFileWrite::Write(null, std::string(1000, 'x'), fault)) << English(fault);
    EXPECT_TRUE(S_ISCHR(ModeOf(null)));
    for (const std::string& path : {full, folder.File("to-full")}) {
        EXPECT_FALSE(SafeFileWrite::Write(path, std::string(1000, 'x'), fault)) << path;
        EXPECT_NE(English(fault).find("No space left on device"), std::string::npos) << English(fault);
    }
    EXPECT_TRUE(S_ISCHR(ModeOf(full)));
    EXPECT_TRUE(fs::is_symlink(folder.File("to-full")));
    EXPECT_EQ(Names(folder.File("")), (std::vector<std::string>{"full", "null", "to-full"}));
}

TEST(SafeFileWrite, AFifoIsWrittenDirectly)
{
    TempFolder folder;
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = TempFolder::Read(fifo); });
    FileFault fault;
    const bool written = SafeFileWrite::Write(fifo, "through the pipe", fault);
    reader.join();
    EXPECT_TRUE(written) << English(fault);
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
}

TEST(SafeFileWrite, AFullFileSystemKeepsTheEarlierFileWhole)
{
    TempFolder folder;
    const std::string mountPoint = folder.File("small");
    fs::create_directory(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{mountPoint};

    const std::string path = folder.Write("small/list.txt", "the earlier list");
    FileFault fault;
    EXPECT_FALSE(SafeFileWrite::Write(path, std::string(256 * 1024, 'x'), fault));
    EXPECT_NE(English(fault).find("(No space left on device)"), std::string::npos) << English(fault);
    EXPECT_NE(Serbian(fault).find("(nema mesta na disku)"), std::string::npos) << Serbian(fault);
    EXPECT_EQ(TempFolder::Read(path), "the earlier list");
    EXPECT_EQ(Names(mountPoint), std::vector<std::string>{"list.txt"});
}

TEST(SafeFileWrite, AFileSizeLimitKeepsTheEarlierFileWhole)
{
    // The same refusal any user can meet: the kernel stops the write at the
    // process's file size limit.
    TempFolder folder;
    const std::string path = folder.Write("dump.bin", "the earlier dump");
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    FileFault fault;
    const bool written = SafeFileWrite::Write(path, std::string(10000, 'x'), fault);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);

    EXPECT_FALSE(written);
    EXPECT_EQ(English(fault), path + ": cannot be written (File too large)");
    EXPECT_EQ(Serbian(fault), "Problem pri upisu u fajl: " + path + " (fajl bi bio prevelik)");
    EXPECT_EQ(TempFolder::Read(path), "the earlier dump");
    EXPECT_EQ(Names(folder.File("")), std::vector<std::string>{"dump.bin"});
}

TEST(SafeFileWrite, AReadOnlyFolderKeepsTheEarlierFile)
{
    TempFolder folder;
    const std::string path = folder.Write("list.txt", "the earlier list");
    // Root writes into any folder, so the test takes another user's part.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
        ASSERT_EQ(::seteuid(65534), 0);
    } else {
        ASSERT_EQ(::chmod(folder.File("").c_str(), 0555), 0);
    }
    FileFault fault;
    const bool written = SafeFileWrite::Write(path, "new", fault);
    FileFault checkFault;
    const bool checked = SafeFileWrite::CheckTarget(path, checkFault);
    if (root)
        ASSERT_EQ(::seteuid(0), 0);
    else
        ::chmod(folder.File("").c_str(), 0755);

    EXPECT_FALSE(written);
    EXPECT_NE(English(fault).find("(Permission denied)"), std::string::npos) << English(fault);
    EXPECT_NE(Serbian(fault).find("(nema dozvole)"), std::string::npos) << Serbian(fault);
    EXPECT_FALSE(checked);
    EXPECT_EQ(TempFolder::Read(path), "the earlier list");
    EXPECT_EQ(Names(folder.File("")), std::vector<std::string>{"list.txt"});
}
#endif

#ifndef _WIN32
TEST(SafeFileWrite, TheNextWriteRemovesOnlyDeadTemporaryFilesOfOurs)
{
    // What killed runs leave behind, beside what only looks like it.
    TempFolder folder;
    TempFolder elsewhere;
    const auto aged = [](const std::string& path, int minutes) {
        const timespec times[2] = {{std::time(nullptr) - minutes * 60, 0}, {std::time(nullptr) - minutes * 60, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
    };
    struct Leftover {
        const char* name;
        int minutesOld;
        bool removed;
    };
    const Leftover leftovers[] = {
        {".thermal-0123456789abcdef.tmp", 61, true},       // an hour old
        {".thermal-fedcba9876543210.tmp", 24 * 60, true},  // a day old
        {".thermal-00000000000000aa.tmp", 55, false},      // young: another run may be writing it
        {".thermal-0123456789ABCDEF.tmp", 120, false},     // not a name we give
        {".thermal-0123456789abcdeg.tmp", 120, false},     // nor this
        {".thermal-0123456789abcde.tmp", 120, false},      // nor this
        {"thermal-0123456789abcdef.tmp", 120, false},      // nor this
        {".thermal-0123456789abcdef.tmp~", 120, false},    // nor this
    };
    for (const Leftover& leftover : leftovers)
        aged(folder.Write(leftover.name, "half a dump"), leftover.minutesOld);
    // Named as ours, but no file of ours: a link, a folder, a file with a second name.
    const std::string link = folder.File(".thermal-1111111111111111.tmp");
    ASSERT_EQ(::symlink(folder.File("kept.txt").c_str(), link.c_str()), 0);
    aged(link, 120);
    const std::string subfolder = folder.File(".thermal-2222222222222222.tmp");
    fs::create_directory(subfolder);
    aged(subfolder, 120);
    const std::string linked = folder.Write(".thermal-3333333333333333.tmp", "also elsewhere");
    ASSERT_EQ(::link(linked.c_str(), folder.File("second-name").c_str()), 0);
    aged(linked, 120);
    const std::string foreign = folder.Write(".thermal-4444444444444444.tmp", "another user's");
    aged(foreign, 120);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(foreign.c_str(), 4242, 4242), 0);
    }
    const std::string otherFolders = elsewhere.Write(".thermal-5555555555555555.tmp", "not this folder");
    aged(otherFolders, 120);

    FileFault fault;
    ASSERT_TRUE(SafeFileWrite::Write(folder.File("lista.txt"), "Sok,1250,0,2,1\r\n", fault)) << English(fault);

    for (const Leftover& leftover : leftovers)
        EXPECT_EQ(fs::exists(folder.File(leftover.name)), !leftover.removed) << leftover.name;
    for (const std::string& kept : {link, subfolder, linked, otherFolders})
        EXPECT_TRUE(fs::exists(fs::symlink_status(kept))) << kept;
    // Unless run as root, the file is this user's own, and goes.
    EXPECT_EQ(fs::exists(foreign), root) << foreign;
    EXPECT_EQ(TempFolder::Read(folder.File("lista.txt")), "Sok,1250,0,2,1\r\n");
}
#endif
