#include "service/api/PathPattern.h"

#include <stdexcept>

namespace {

// The segments between the slashes of a path that starts with one.
std::vector<std::string_view> Split(std::string_view path)
{
    std::vector<std::string_view> segments;
    if (path.empty() || path.front() != '/')
        return segments;
    std::size_t from = 1;
    for (;;) {
        const std::size_t slash = path.find('/', from);
        segments.push_back(path.substr(from, slash == std::string_view::npos ? std::string_view::npos : slash - from));
        if (slash == std::string_view::npos)
            return segments;
        from = slash + 1;
    }
}

bool AllOf(std::string_view text, std::string_view allowed)
{
    return text.find_first_not_of(allowed) == std::string_view::npos;
}

}  // namespace

PathPattern::PathPattern(std::string pattern) : m_text(std::move(pattern))
{
    for (const std::string_view segment : Split(m_text)) {
        if (segment == "{id}")
            m_segments.push_back({Kind::RegisterId, {}});
        else if (segment == "{jobId}")
            m_segments.push_back({Kind::JobId, {}});
        else if (segment == "{file}")
            m_segments.push_back({Kind::FileName, {}});
        else if (segment.find('{') != std::string_view::npos)
            throw std::invalid_argument("no such path parameter in " + m_text);
        else
            m_segments.push_back({Kind::Literal, std::string(segment)});
    }
}

bool PathPattern::Fits(Kind kind, std::string_view value)
{
    switch (kind) {
    case Kind::Literal: return false;
    case Kind::RegisterId:
        return !value.empty() && value.size() <= 32 &&
               AllOf(value, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_");
    case Kind::JobId: return !value.empty() && value.size() <= 64 && AllOf(value, "0123456789abcdef");
    case Kind::FileName:
        return !value.empty() && value.size() <= 64 && value.front() != '.' &&
               AllOf(value, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.");
    }
    return false;
}

bool PathPattern::Match(std::string_view path, std::vector<std::string>& params) const
{
    const std::vector<std::string_view> segments = Split(path);
    if (segments.size() != m_segments.size())
        return false;
    std::vector<std::string> found;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& expected = m_segments[i];
        if (expected.kind == Kind::Literal) {
            if (segments[i] != expected.text)
                return false;
        } else if (Fits(expected.kind, segments[i])) {
            found.emplace_back(segments[i]);
        } else {
            return false;
        }
    }
    params = std::move(found);
    return true;
}
