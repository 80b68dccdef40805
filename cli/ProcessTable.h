#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The processes of this machine as a /proc tree shows them: each one's name
// and the files it holds open. Read once; this process itself is left out.
class ProcessTable {
public:
    struct Process {
        int pid = 0;
        std::string name;  // as in /proc/PID/comm
    };

    static ProcessTable Load(const std::string& procRoot);

    // The processes holding the file open, found by the targets of their
    // descriptors (a link to the file leads to the same target).
    std::vector<Process> Holding(const std::string& path) const;
    std::vector<Process> Named(const std::string& name) const;
    // Processes whose descriptors could not be looked at: another user's,
    // when not run as root. One of them may hold the file.
    std::size_t Unreadable() const { return m_unreadable; }

private:
    struct Entry {
        Process process;
        std::vector<std::string> open;  // descriptor targets
    };

    std::vector<Entry> m_entries;
    std::size_t m_unreadable = 0;
};
