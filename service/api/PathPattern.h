#pragma once

#include <string>
#include <string_view>
#include <vector>

// A route's path as the OpenAPI document writes it: "/registers/{id}/clock",
// "/jobs/{jobId}". A literal segment matches itself; a parameter in braces
// matches one segment of its own form: {id} a register's id (1 to 32
// letters, digits, '-' or '_'), {jobId} a job's id (1 to 64 lower-case
// hexadecimal digits), {file} a file's name (1 to 64 letters, digits, '.',
// '-' or '_', not beginning with '.'). Matching compiles nothing: a path is
// split once and compared segment by segment.
class PathPattern {
public:
    // Throws std::invalid_argument for a parameter of no known form.
    explicit PathPattern(std::string pattern);

    const std::string& Text() const { return m_text; }
    // Whether the path matches; params gets the parameters' values in order.
    bool Match(std::string_view path, std::vector<std::string>& params) const;

private:
    enum class Kind { Literal, RegisterId, JobId, FileName };
    struct Segment {
        Kind kind;
        std::string text;  // a literal's
    };

    static bool Fits(Kind kind, std::string_view value);

    std::string m_text;
    std::vector<Segment> m_segments;
};
