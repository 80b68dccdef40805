#pragma once

#include "ecr/files/FileFault.h"

#include <cstddef>
#include <string>
#include <string_view>

// Replaces a file's contents so that afterwards it holds either the new
// bytes, whole, or the earlier contents, untouched; safe for a program run
// as root in a folder that others can write to.
//
// - The bytes go to a temporary file with an unpredictable name, created
//   exclusively and never through a symlink, in the target's folder, with
//   the target's permissions and owner. Every write, the fsync and the close
//   are checked; only then is it renamed over the target, and the folder is
//   synced so the rename survives a power cut.
// - A temporary file that a killed run left in the folder (named as ours,
//   owned by this user, an hour old) is removed by the next write there.
// - A target that is a symlink is followed to the file it names, and that
//   file is replaced; a symlink to nothing is refused (as cp refuses it).
// - A character device or a FIFO (/dev/stdout, a pipe, a terminal) cannot be
//   replaced and is written directly; anything else that is not a regular
//   file (a directory, a block device, a socket) is refused.
class SafeFileWrite {
public:
    // False with why (FaultText words it); the earlier file is then as it was.
    // The one exception is FolderNotSynced: the new bytes are in place, but
    // the rename may not survive a power cut, and the caller is told so
    // rather than promised a write that may yet be lost.
    static bool Write(const std::string& path, std::string_view bytes, FileFault& fault);
    // What Write would refuse before it writes a byte (a target that is not
    // a file, a folder that does not exist or cannot be written), so a caller
    // can check an output path before lengthy work.
    static bool CheckTarget(const std::string& path, FileFault& fault);

    // The steps whose order and success decide what a power cut or a full
    // disk leaves behind, each answering as the system call does (-1 with
    // errno set when it fails). These are the real ones; a test installs its
    // own (UseCalls) to make one step fail or to see the order they ran in.
    class Calls {
    public:
        virtual ~Calls() = default;
        virtual long long Write(int fd, const char* data, std::size_t count);  // the count written
        virtual int Sync(int fd);                                              // the file's bytes to the disk
        virtual int Close(int fd);
        virtual int Rename(const std::string& from, const std::string& to);  // over the file at to
        virtual int SyncFolder(const std::string& folder);                   // so a rename in it is kept
    };
    // Installs calls (null: the real ones again) and returns the previous ones.
    static Calls* UseCalls(Calls* calls);
};
