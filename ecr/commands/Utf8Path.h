#pragma once

#include <filesystem>
#include <string>

// A file name as the programs hold it, in UTF-8, as a path. Windows would read
// a narrow name in the ANSI code page and miss a file whose name has a letter
// outside it; elsewhere the bytes pass unchanged.
inline std::filesystem::path Utf8Path(const std::string& name)
{
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

// A path as the programs hold a file name, in UTF-8.
inline std::string Utf8Name(const std::filesystem::path& path)
{
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}
