#pragma once

#include <initializer_list>
#include <string>

// Bytes written by hand as numbers ({0xFF, 0xFA, 44}), for the expected
// wire bytes of a test.
inline std::string ByteString(std::initializer_list<int> values)
{
    std::string bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}
