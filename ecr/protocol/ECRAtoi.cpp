#include "ecr/protocol/ECRAtoi.h"

#include <cctype>
#include <limits>

std::int32_t ECRAtoi(const char* text)
{
    if (text == nullptr) {
        return 0;
    }
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value < limit) {
            value = value * 10 + (*p - '0');
        }
        ++p;
    }
    if (value > limit) {
        value = limit;
    }
    if (negative) {
        return static_cast<std::int32_t>(-value);
    }
    return static_cast<std::int32_t>(value >= limit ? limit - 1 : value);
}

std::int32_t ECRAtoi(const ECRString& text)
{
    return ECRAtoi(text.Data());
}

bool ECRIsDecimal(const ECRString& text)
{
    const char* p = text.Data();
    if (*p == '+' || *p == '-') {
        ++p;
    }
    if (*p == '\0') {
        return false;
    }
    while (*p >= '0' && *p <= '9') {
        ++p;
    }
    return *p == '\0';
}
