#pragma once

#include <string>

// One ecrd per journal: an exclusive lock on a file beside the journal,
// held for the life of the process, with the holder's process id written
// in it so that a second ecrd can say who holds it. The system releases
// the lock when the process ends, however it ends.
class JournalLock {
public:
    JournalLock() = default;
    ~JournalLock();
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

    // Takes the lock on path (made when missing). False with the reason:
    // "... is in use by ecrd (process 1234)" when another process holds it.
    bool Acquire(const std::string& path, std::string& error);

private:
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};
