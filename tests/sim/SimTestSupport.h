#pragma once

#include "sim/ECRSimulator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// A frame on the wire, with checksum digits worked out by hand.
inline std::string Frame(const std::string& payload, const char* digits)
{
    return "\x1B" "P" + payload + digits + "\x1B\\";
}

// A simulator on a clock the test moves by hand, started at 15.03.2026 09:41:00.
class SimulatorTest : public ::testing::Test {
protected:
    static constexpr std::int64_t kStart = 1773567660;
    static constexpr std::int64_t kSecond = 1000000;

    // Sends bytes and returns what the register has sent by now.
    std::string Send(const std::string& bytes)
    {
        sim.Receive(bytes);
        return sim.TakeOutput();
    }

    void Advance(std::int64_t micros) { now += micros; }

    std::int64_t now = 0;
    ECRSimulator sim{[this] { return now; }, kStart};
};
