#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

// A text shown newest entry first, with CR LF between entries, kept as its
// entries in arrival order: adding one costs its own length, not the length
// of everything before it, so a long upload stays fast to watch. Only the
// newest entries are kept, up to a number and a size, so that a run of any
// length holds bounded memory; the oldest go as new ones come (the session
// log keeps them all).
class NewestFirstLog {
public:
    // Keeps at most maxEntries entries of at most maxBytes in all; the newest
    // entry is kept whatever its size.
    NewestFirstLog(std::size_t maxEntries, std::size_t maxBytes);

    // While the whole text is empty (no entry, or one empty entry) the new
    // entry replaces it instead of standing above an empty line.
    void Add(std::string_view entry);
    void Clear();

    bool Empty() const { return m_entries.empty(); }
    // The entries kept.
    std::size_t Count() const { return m_entries.size(); }
    // In arrival order: 0 is the oldest kept.
    const std::string& Entry(std::size_t index) const { return m_entries[index]; }
    // Entries added since the text was last cleared, kept or not: a view that
    // showed the first n of them shows the kept ones past n as new.
    std::size_t Added() const { return m_added; }
    // Entries added since the last clearing that are no longer kept.
    std::size_t Dropped() const { return m_added - m_entries.size(); }

    // Changes whenever the text is cleared, so a view that shows the entries
    // knows to start again.
    std::size_t Generation() const { return m_generation; }

    // The whole text kept: newest entry first, entries separated by CR LF.
    std::string Text() const;

private:
    std::deque<std::string> m_entries;
    std::size_t m_maxEntries;
    std::size_t m_maxBytes;
    std::size_t m_bytes = 0;
    std::size_t m_added = 0;
    std::size_t m_generation = 0;
};
