#include "EcrdFixture.h"

#include <algorithm>
#include <chrono>
#include <thread>

bool EcrdTest::AwaitCommand(int i, const std::string& command, int timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::vector<std::string> seen = Received(i);
        if (std::find(seen.begin(), seen.end(), command) != seen.end())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
