#pragma once

#include <unistd.h>

#include <utility>

// Owns one POSIX file descriptor and closes it.
class SimFileDescriptor {
public:
    SimFileDescriptor() = default;
    explicit SimFileDescriptor(int fd) : m_fd(fd) {}
    ~SimFileDescriptor() { Reset(); }

    SimFileDescriptor(SimFileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    SimFileDescriptor& operator=(SimFileDescriptor&& other) noexcept
    {
        if (this != &other) {
            Reset(std::exchange(other.m_fd, -1));
        }
        return *this;
    }
    SimFileDescriptor(const SimFileDescriptor&) = delete;
    SimFileDescriptor& operator=(const SimFileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }

    void Reset(int fd = -1)
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd = -1;
};
