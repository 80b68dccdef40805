#pragma once

#include "ecr/files/FileFault.h"

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
// - A target that is a symlink is followed to the file it names, and that
//   file is replaced; a symlink to nothing is refused (as cp refuses it).
// - A character device or a FIFO (/dev/stdout, a pipe, a terminal) cannot be
//   replaced and is written directly; anything else that is not a regular
//   file (a directory, a block device, a socket) is refused.
class SafeFileWrite {
public:
    // False with why (FaultText words it); the earlier file is then as it was.
    static bool Write(const std::string& path, std::string_view bytes, FileFault& fault);
    // What Write would refuse before it writes a byte (a target that is not
    // a file, a folder that does not exist or cannot be written), so a caller
    // can check an output path before lengthy work.
    static bool CheckTarget(const std::string& path, FileFault& fault);
};
