#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The fields of a request's header, in the order received, with their names
// as sent. Names compare without regard to ASCII case, as HTTP has them; a
// name sent twice is two fields.
class HttpHeaders {
public:
    using Field = std::pair<std::string, std::string>;

    // Appends a field; an earlier one of the same name stays.
    void Add(std::string name, std::string value);
    // The value of the first field of that name; nullptr when there is none.
    const std::string* Find(std::string_view name) const;
    // How many fields have that name.
    std::size_t Count(std::string_view name) const;
    // Every field, in the order received.
    const std::vector<Field>& All() const { return m_fields; }

    // True when the two names are the same without regard to ASCII case.
    static bool SameName(std::string_view a, std::string_view b);

private:
    std::vector<Field> m_fields;
};
