#include "AllocationMeter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

// The size the allocator gave a block, however it names the query.
std::size_t BlockSize(void* block)
{
#ifdef _WIN32
    return _msize(block);
#else
    return malloc_usable_size(block);
#endif
}

std::atomic<bool> g_running{false};
std::atomic<std::size_t> g_held{0};
std::atomic<std::size_t> g_peak{0};

}  // namespace

void* operator new(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    if (g_running) {
        const std::size_t held = g_held += BlockSize(block);
        std::size_t peak = g_peak;
        while (held > peak && !g_peak.compare_exchange_weak(peak, held)) {
        }
    }
    return block;
}

void operator delete(void* block) noexcept
{
    if (block == nullptr)
        return;
    if (g_running) {
        const std::size_t size = BlockSize(block);
        // What was allocated before the meter started is not counted in.
        std::size_t held = g_held;
        while (!g_held.compare_exchange_weak(held, held > size ? held - size : 0)) {
        }
    }
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}

AllocationMeter::AllocationMeter()
{
    g_held = 0;
    g_peak = 0;
    g_running = true;
}

AllocationMeter::~AllocationMeter()
{
    g_running = false;
}

std::size_t AllocationMeter::PeakBytes() const
{
    return g_peak;
}
