#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A text shown newest entry first, with CR LF between entries, kept as its
// entries in arrival order: adding one costs its own length, not the length
// of everything before it, so a long upload stays fast to watch.
class NewestFirstLog {
public:
    // While the whole text is empty (no entry, or one empty entry) the new
    // entry replaces it instead of standing above an empty line.
    void Add(std::string_view entry);
    void Clear();

    bool Empty() const { return m_entries.empty(); }
    std::size_t Count() const { return m_entries.size(); }
    // In arrival order: 0 is the oldest.
    const std::string& Entry(std::size_t index) const { return m_entries[index]; }

    // Changes whenever entries are taken away, so a view that shows the
    // entries knows to start again.
    std::size_t Generation() const { return m_generation; }

    // The whole text: newest entry first, entries separated by CR LF.
    std::string Text() const;

private:
    std::vector<std::string> m_entries;
    std::size_t m_generation = 0;
};
