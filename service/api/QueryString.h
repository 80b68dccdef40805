#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A request's query ("wait=500&state=done"): its parameters with their
// values percent-decoded ('+' read as a space). A malformed escape makes the
// whole query unreadable.
class QueryString {
public:
    // None when an escape is malformed.
    static std::optional<QueryString> Parse(std::string_view query);

    // The first value of the parameter; none when it is not given.
    std::optional<std::string> Get(std::string_view name) const;
    // Every parameter's name, for telling unknown ones.
    std::vector<std::string> Names() const;
    // A value as a query writes it: letters, digits and "-._~" as they are,
    // anything else percent-encoded.
    static std::string Encode(std::string_view value);

private:
    std::vector<std::pair<std::string, std::string>> m_parameters;
};
