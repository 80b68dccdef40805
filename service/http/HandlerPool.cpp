#include "service/http/HandlerPool.h"

HandlerPool::HandlerPool(std::size_t threads, std::size_t maxWaiting)
    : m_threadCount(threads == 0 ? 1 : threads), m_maxWaiting(maxWaiting)
{
}

HandlerPool::~HandlerPool()
{
    Stop();
}

void HandlerPool::Start()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_threads.empty() || m_stopping)
        return;
    for (std::size_t i = 0; i < m_threadCount; ++i)
        m_threads.emplace_back([this] { Work(); });
}

bool HandlerPool::TryRun(std::function<void()> task)
{
    return Queue(task, true);
}

void HandlerPool::Run(std::function<void()> task)
{
    Queue(task, false);
}

bool HandlerPool::Queue(std::function<void()>& task, bool bounded)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping || (bounded && m_tasks.size() >= m_maxWaiting))
            return false;
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_one();
    return true;
}

void HandlerPool::Stop()
{
    std::deque<std::function<void()>> dropped;
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        dropped.swap(m_tasks);
        threads.swap(m_threads);
    }
    m_wake.notify_all();
    // Outside the lock: a dropped task's captures may queue work as they go.
    dropped.clear();
    for (std::thread& thread : threads)
        thread.join();
}

void HandlerPool::Work()
{
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
            if (m_stopping)
                return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}
