#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

// A stop asked from another thread (the service manager's handler, a
// console's Ctrl+C), waited for by the thread that serves. The first
// reason asked is the one kept.
class StopRequest {
public:
    void Ask(const std::string& why)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_asked)
                return;
            m_asked = true;
            m_why = why;
        }
        m_changed.notify_all();
    }

    // Returns once a stop is asked, with its reason.
    std::string Wait()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_asked; });
        return m_why;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_asked = false;
    std::string m_why;
};
