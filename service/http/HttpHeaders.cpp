#include "service/http/HttpHeaders.h"

#include <algorithm>

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

void HttpHeaders::Add(std::string name, std::string value)
{
    m_fields.emplace_back(std::move(name), std::move(value));
}

const std::string* HttpHeaders::Find(std::string_view name) const
{
    for (const Field& field : m_fields) {
        if (SameName(field.first, name))
            return &field.second;
    }
    return nullptr;
}

std::size_t HttpHeaders::Count(std::string_view name) const
{
    return static_cast<std::size_t>(std::count_if(m_fields.begin(), m_fields.end(),
                                                  [&](const Field& field) { return SameName(field.first, name); }));
}

bool HttpHeaders::SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}
