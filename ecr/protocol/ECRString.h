#pragma once

#include <cstdint>
#include <memory>

// The protocol library's owning byte string. The buffer always holds
// capacity + 1 bytes and the text is kept zero-terminated; the text holds
// no zero byte, except the one-byte text made from the byte 0x00, which is
// how a single zero byte is written to the line.
class ECRString {
public:
    ECRString();
    ECRString(const char* text);  // NOLINT(google-explicit-constructor): texts pass everywhere
    explicit ECRString(char byte);
    explicit ECRString(unsigned char byte);
    explicit ECRString(std::int32_t value);
    ECRString(const ECRString& other);
    ~ECRString();

    ECRString& operator=(const ECRString& other);
    ECRString& operator+=(const ECRString& other);

    bool operator==(const char* text) const;
    bool operator!=(const char* text) const;
    bool operator==(const ECRString& other) const;
    bool operator!=(const ECRString& other) const;

    // Bounds-checked access; an index at or beyond the length throws ECRStringError(1).
    unsigned char CharAt(std::uint32_t index) const;
    char* CharPtr(std::uint32_t index);

    // Bytes between the two positions, smaller first, the larger clamped to the length.
    ECRString Mid(std::uint32_t first, std::uint32_t second) const;
    ECRString Mid(std::uint32_t first) const;

    std::int32_t Find(char byte) const;

    // Removes the first token and its separator from the front and returns the token.
    ECRString Tokenize(char separator);

    const char* Data() const { return m_data.get(); }
    std::uint32_t Length() const { return m_length; }
    std::uint32_t Capacity() const { return m_capacity; }

private:
    ECRString(const char* bytes, std::uint32_t length);
    void Allocate(std::uint32_t capacity);

    std::unique_ptr<char[]> m_data;
    std::uint32_t m_capacity = 0;
    std::uint32_t m_length = 0;
};

ECRString operator+(const ECRString& left, const ECRString& right);
