#pragma once

#include <string>
#include <string_view>

// Replaces a file's contents without ever leaving it half written: the bytes
// go to "<path>.tmp" in the same folder, which is renamed over the file only
// when every byte was written and the file closed cleanly. On any failure
// the earlier file is untouched and the temporary file removed.
class SafeFileWrite {
public:
    static bool Write(const std::string& path, std::string_view bytes, std::string& error);
    static std::string TemporaryPath(const std::string& path) { return path + ".tmp"; }
};
