#pragma once

#include <cstdint>
#include <memory>

// The protocol library's owning byte string. The buffer always holds
// capacity + 1 bytes and the text is kept zero-terminated; the text holds
// no zero byte, except the one-byte text made from the byte 0x00, which is
// how a single zero byte is written to the line.
class ECRString {
public:
    // The empty text.
    ECRString();
    // The bytes up to the text's zero byte; null gives the empty text.
    ECRString(const char* text);  // NOLINT(google-explicit-constructor): texts pass everywhere
    // The one-byte text of the byte, 0x00 too.
    explicit ECRString(char byte);
    explicit ECRString(unsigned char byte);
    // The value in decimal ("-12").
    explicit ECRString(std::int32_t value);
    ECRString(const ECRString& other);
    ~ECRString();

    ECRString& operator=(const ECRString& other);
    // Appends the other's bytes (it may be this text itself).
    ECRString& operator+=(const ECRString& other);

    // Compare up to the first zero byte on either side, as C texts; null is
    // the empty text.
    bool operator==(const char* text) const;
    bool operator!=(const char* text) const;
    // Compare length and every byte.
    bool operator==(const ECRString& other) const;
    bool operator!=(const ECRString& other) const;

    // Bounds-checked access; an index at or beyond the length throws ECRStringError(1).
    unsigned char CharAt(std::uint32_t index) const;
    // Where the byte at the index is stored; bounds-checked like CharAt.
    char* CharPtr(std::uint32_t index);

    // Bytes between the two positions, smaller first, the larger clamped to the length.
    // The empty text when the smaller lies at or beyond the length; never throws.
    ECRString Mid(std::uint32_t first, std::uint32_t second) const;
    // The bytes from first to the end.
    ECRString Mid(std::uint32_t first) const;

    // The index of the first such byte, or -1.
    std::int32_t Find(char byte) const;

    // Removes the first token and its separator from the front and returns the token.
    // Without the separator the whole text is the token and this text is left empty.
    ECRString Tokenize(char separator);

    // The bytes, zero-terminated.
    const char* Data() const { return m_data.get(); }
    std::uint32_t Length() const { return m_length; }
    // How many bytes the buffer holds before it must grow.
    std::uint32_t Capacity() const { return m_capacity; }

private:
    ECRString(const char* bytes, std::uint32_t length);
    void Allocate(std::uint32_t capacity);

    std::unique_ptr<char[]> m_data;
    std::uint32_t m_capacity = 0;
    std::uint32_t m_length = 0;
};

// The two texts' bytes, one after the other.
ECRString operator+(const ECRString& left, const ECRString& right);
