#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// An input of a subcommand named on the command line: a file, or standard
// input for "-", read in chunks and never beyond a limit, so that no input
// (a huge file, a device, a pipe that never ends) takes more memory or time
// than its reader allows. What cannot be read throws CliFailure (exit 4).
class CliInput {
public:
    static constexpr std::size_t kChunkBytes = 64 * 1024;

    // Hands the input to take, a chunk at a time. A path that names no
    // regular file (a folder, a device, a FIFO), cannot be read or is larger
    // than maxBytes is refused before anything is handed on; standard input
    // is refused once it has gone past maxBytes.
    static void Read(const std::string& path, std::uint64_t maxBytes,
                     const std::function<void(std::string_view chunk)>& take);
};
