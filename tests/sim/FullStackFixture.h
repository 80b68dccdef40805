#pragma once

#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/ECRSleep.h"
#include "serial/SerialSettings.h"
#include "serial/Win32SerialPort.h"
#include "sim/ECRSimulator.h"
#include "sim/SimulatorHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The whole client, serial port included, on COM1 mapped to a simulated
// register on a pseudo-terminal. Polling pauses are shortened so that a
// test never waits the full half seconds, and the polling is bounded.
class FullStack : public ::testing::Test {
protected:
    static void ShortSleep(std::int32_t milliseconds)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds / 5));
    }
    static void CollectTraffic(ECRString text) { Traffic().emplace_back(text.Data(), text.Length()); }
    static std::vector<std::string>& Traffic()
    {
        static std::vector<std::string> traffic;
        return traffic;
    }

    void SetUp() override
    {
        Traffic().clear();
        m_previousSleep = SetECRSleepFunction(&ShortSleep);
        Connect(SimulatorHost::Options{});
    }

    void TearDown() override
    {
        m_device.reset();
        m_port.reset();
        m_host.reset();
        SetECRSleepFunction(m_previousSleep);
    }

    void Connect(SimulatorHost::Options options)
    {
        m_device.reset();
        m_port.reset();
        m_host = std::make_unique<SimulatorHost>(options);
        std::string error;
        ASSERT_TRUE(m_host->Start(&error)) << error;
        m_port = std::make_unique<Win32SerialPort>(SerialSettings(1, 19200, 8, 0, 0, 0, 0), m_host->DevicePath());
        ASSERT_TRUE(m_port->Open());
        m_port->SetTrafficCallback(&CollectTraffic);
        m_device = std::make_unique<ECRDevice>(m_port.get());
        m_device->SetTrafficCallback(&CollectTraffic);
        ECREngine::PollLimits limits;
        limits.maxSilentWaits = 3;
        limits.maxBusyMilliseconds = 8000;
        m_device->Engine().SetPollLimits(limits);
    }

    void SetFaults(const SimFaults& faults)
    {
        m_host->WithSimulator([&faults](ECRSimulator& simulator) { simulator.SetFaults(faults); });
    }

    ECRDevice& Device() { return *m_device; }
    SimulatorHost& Host() { return *m_host; }

private:
    ECRSleepFunction m_previousSleep = nullptr;
    std::unique_ptr<SimulatorHost> m_host;
    std::unique_ptr<Win32SerialPort> m_port;
    std::unique_ptr<ECRDevice> m_device;
};
