#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

// The names of an enum's values, written once: what the journal, the JSON
// documents and the problems call each value, and how a name read back is
// turned into its value. A name that is not in the table is no value at all
// (Find gives none): the caller refuses it, never falls back to a default.
//
//   enum class Colour { Red, Green };
//   inline constexpr NameTable<Colour, 2> kColourNames{{{{Colour::Red, "red"}, {Colour::Green, "green"}}}};
template <typename Enum, std::size_t N>
class NameTable {
public:
    using Entry = std::pair<Enum, std::string_view>;

    constexpr explicit NameTable(std::array<Entry, N> entries) : m_entries(entries)
    {
        // Every value from 0 to N - 1 once, in order: Name is then an index.
        for (std::size_t i = 0; i < N; ++i) {
            if (static_cast<std::size_t>(m_entries[i].first) != i)
                throw "a name table lists its enum's values in order";
        }
    }

    constexpr std::string_view Name(Enum value) const { return m_entries[static_cast<std::size_t>(value)].second; }

    constexpr std::optional<Enum> Find(std::string_view name) const
    {
        for (const Entry& entry : m_entries) {
            if (entry.second == name)
                return entry.first;
        }
        return std::nullopt;
    }

    constexpr const std::array<Entry, N>& Entries() const { return m_entries; }

private:
    std::array<Entry, N> m_entries;
};
