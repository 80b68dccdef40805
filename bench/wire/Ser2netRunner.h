#pragma once

#include "WireRunner.h"

#include <cstdint>
#include <string>

// The scenarios as ecrctl runs them through ser2net in front of the
// register's line, over raw TCP or RFC 2217: what a device server costs.
// ser2net is started for each run (not timed) and ended after it.
class Ser2netRunner : public WireRunner {
public:
    Ser2netRunner(std::int32_t baud, bool rfc2217, std::string folder)
        : m_baud(baud), m_rfc2217(rfc2217), m_folder(std::move(folder))
    {
    }

    std::string Name() const override { return m_rfc2217 ? "ecrctl via ser2net (RFC 2217)" : "ecrctl via ser2net (raw TCP)"; }
    bool Run(const WireScenario& scenario, const std::string& devicePath, WireSpan& span,
             std::string& error) override;

private:
    std::int32_t m_baud;
    bool m_rfc2217;
    std::string m_folder;
};
