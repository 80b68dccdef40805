#pragma once

#include "serial/platform/SocketApi.h"

#include <utility>

// Owns one socket (on POSIX any descriptor: the wake-up pipe too) and closes it.
class SimSocket {
public:
    SimSocket() = default;
    explicit SimSocket(SocketHandle handle) : m_handle(handle) {}
    ~SimSocket() { Reset(); }

    SimSocket(SimSocket&& other) noexcept : m_handle(std::exchange(other.m_handle, SocketApi::kInvalid)) {}
    SimSocket& operator=(SimSocket&& other) noexcept
    {
        if (this != &other) {
            Reset(std::exchange(other.m_handle, SocketApi::kInvalid));
        }
        return *this;
    }
    SimSocket(const SimSocket&) = delete;
    SimSocket& operator=(const SimSocket&) = delete;

    SocketHandle Get() const { return m_handle; }
    bool Valid() const { return m_handle != SocketApi::kInvalid; }

    void Reset(SocketHandle handle = SocketApi::kInvalid)
    {
        SocketApi::Close(m_handle);
        m_handle = handle;
    }

private:
    SocketHandle m_handle = SocketApi::kInvalid;
};
