#include "ecr/protocol/ECRString.h"

#include "ecr/protocol/ECRStringError.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

ECRString::ECRString()
{
    Allocate(0);
}

ECRString::ECRString(const char* text)
    : ECRString(text, text ? static_cast<std::uint32_t>(std::strlen(text)) : 0)
{
}

ECRString::ECRString(const char* bytes, std::uint32_t length)
{
    Allocate(length);
    if (length > 0) {
        std::memcpy(m_data.get(), bytes, length);
    }
    m_length = length;
}

ECRString::ECRString(char byte)
{
    Allocate(1);
    m_data[0] = byte;
    m_length = 1;
}

ECRString::ECRString(unsigned char byte) : ECRString(static_cast<char>(byte)) {}

ECRString::ECRString(std::int32_t value)
{
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    Allocate(static_cast<std::uint32_t>(length));
    std::memcpy(m_data.get(), text, static_cast<std::size_t>(length));
    m_length = static_cast<std::uint32_t>(length);
}

ECRString::ECRString(const ECRString& other) : ECRString(other.Data(), other.m_length) {}

ECRString::~ECRString() = default;

void ECRString::Allocate(std::uint32_t capacity)
{
    m_data = std::make_unique<char[]>(static_cast<std::size_t>(capacity) + 1);  // zero-filled
    m_capacity = capacity;
    m_length = 0;
}

ECRString& ECRString::operator=(const ECRString& other)
{
    if (this == &other) {
        return *this;
    }
    const std::uint32_t length = other.m_length;
    if (length > m_length) {
        Allocate(length);
    }
    std::memcpy(m_data.get(), other.Data(), length);
    m_data[length] = '\0';
    m_length = length;
    return *this;
}

ECRString& ECRString::operator+=(const ECRString& other)
{
    const std::uint32_t added = other.m_length;
    const std::uint32_t length = m_length + added;
    if (length > m_capacity) {
        auto data = std::make_unique<char[]>(static_cast<std::size_t>(length) + 1);
        std::memcpy(data.get(), m_data.get(), m_length);
        // other may be *this: copy its bytes before the old buffer goes away
        std::memcpy(data.get() + m_length, other.Data(), added);
        m_data = std::move(data);
        m_capacity = length;
    } else {
        std::memmove(m_data.get() + m_length, other.Data(), added);
    }
    m_data[length] = '\0';
    m_length = length;
    return *this;
}

ECRString operator+(const ECRString& left, const ECRString& right)
{
    ECRString result(left);
    result += right;
    return result;
}

bool ECRString::operator==(const char* text) const
{
    return std::strcmp(Data(), text ? text : "") == 0;
}

bool ECRString::operator!=(const char* text) const
{
    return !(*this == text);
}

bool ECRString::operator!=(const ECRString& other) const
{
    if (m_length != other.m_length) {
        return true;
    }
    return std::memcmp(Data(), other.Data(), m_length) != 0;
}

bool ECRString::operator==(const ECRString& other) const
{
    return !(*this != other);
}

unsigned char ECRString::CharAt(std::uint32_t index) const
{
    if (index >= m_length) {
        throw ECRStringError(1);
    }
    return static_cast<unsigned char>(m_data[index]);
}

char* ECRString::CharPtr(std::uint32_t index)
{
    if (index >= m_length) {
        throw ECRStringError(1);
    }
    return m_data.get() + index;
}

ECRString ECRString::Mid(std::uint32_t first, std::uint32_t second) const
{
    const std::uint32_t low = std::min(first, second);
    const std::uint32_t high = std::min(std::max(first, second), m_length);
    if (low >= m_length) {
        return ECRString();
    }
    return ECRString(m_data.get() + low, high - low);
}

ECRString ECRString::Mid(std::uint32_t first) const
{
    return Mid(first, m_length);
}

std::int32_t ECRString::Find(char byte) const
{
    const void* found = std::memchr(m_data.get(), byte, m_length);
    if (found == nullptr) {
        return -1;
    }
    return static_cast<std::int32_t>(static_cast<const char*>(found) - m_data.get());
}

ECRString ECRString::Tokenize(char separator)
{
    const std::int32_t position = Find(separator);
    if (position < 0) {
        ECRString token(*this);
        m_data[0] = '\0';
        m_length = 0;
        return token;
    }
    const auto p = static_cast<std::uint32_t>(position);
    ECRString token(m_data.get(), p);
    const std::uint32_t rest = m_length - p - 1;
    std::memmove(m_data.get(), m_data.get() + p + 1, rest);
    m_data[rest] = '\0';
    m_length = rest;
    return token;
}
