#pragma once

#include <filesystem>
#include <string>

// Text as the programs hold it (UTF-8) and as Windows' wide functions take
// it (UTF-16).
inline std::wstring ToWide(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

inline std::string FromWide(const std::wstring& wide)
{
    const std::u8string utf8 = std::filesystem::path(wide).u8string();
    return {utf8.begin(), utf8.end()};
}
