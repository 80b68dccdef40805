#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A fixed number of threads that run tasks in the order given, with a bound
// on how many may wait.
class HandlerPool {
public:
    HandlerPool(std::size_t threads, std::size_t maxWaiting);
    // Stop().
    ~HandlerPool();
    HandlerPool(const HandlerPool&) = delete;
    HandlerPool& operator=(const HandlerPool&) = delete;

    void Start();
    // Queues the task; false (and nothing queued) when maxWaiting tasks wait
    // already or the pool has stopped.
    bool TryRun(std::function<void()> task);
    // Queues the task whatever waits (for work that each request does at
    // most once, so bounded by the requests); nothing once stopped.
    void Run(std::function<void()> task);
    // Drops the waiting tasks, lets the running ones end, joins the threads.
    void Stop();

private:
    bool Queue(std::function<void()>& task, bool bounded);
    void Work();

    const std::size_t m_threadCount;
    const std::size_t m_maxWaiting;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};
