#include "cli/ProcessTable.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool IsNumber(const std::string& text)
{
    return !text.empty() && text.size() < 10 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

ProcessTable ProcessTable::Load(const std::string& procRoot)
{
    ProcessTable table;
    std::error_code error;
    const int self = static_cast<int>(::getpid());
    for (fs::directory_iterator it(procRoot, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!IsNumber(name) || std::stoi(name) == self)
            continue;
        Entry entry;
        entry.process.pid = std::stoi(name);
        std::ifstream comm(it->path() / "comm");
        std::getline(comm, entry.process.name);
        std::error_code fdError;
        fs::directory_iterator fds(it->path() / "fd", fdError);
        if (fdError) {
            // A process that ended meanwhile has no folder any more; not worth a word.
            if (fs::exists(it->path(), fdError))
                ++table.m_unreadable;
        } else {
            for (fs::directory_iterator fdEnd; fds != fdEnd; fds.increment(fdError)) {
                if (fdError)
                    break;
                std::error_code linkError;
                const fs::path target = fs::read_symlink(fds->path(), linkError);
                if (!linkError)
                    entry.open.push_back(target.string());
            }
        }
        table.m_entries.push_back(std::move(entry));
    }
    std::sort(table.m_entries.begin(), table.m_entries.end(),
              [](const Entry& a, const Entry& b) { return a.process.pid < b.process.pid; });
    return table;
}

std::vector<ProcessTable::Process> ProcessTable::Holding(const std::string& path) const
{
    std::error_code error;
    const std::string resolved = fs::weakly_canonical(path, error).string();
    std::vector<Process> holders;
    for (const Entry& entry : m_entries) {
        if (std::any_of(entry.open.begin(), entry.open.end(),
                        [&](const std::string& target) { return target == path || target == resolved; }))
            holders.push_back(entry.process);
    }
    return holders;
}

std::vector<ProcessTable::Process> ProcessTable::Named(const std::string& name) const
{
    std::vector<Process> found;
    for (const Entry& entry : m_entries) {
        if (entry.process.name == name)
            found.push_back(entry.process);
    }
    return found;
}
