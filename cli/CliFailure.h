#pragma once

#include "ecr/files/FaultText.h"

#include <stdexcept>
#include <string>

// How a subcommand ends other than with success; the exit code tells the
// caller what kind of failure it was.
class CliFailure : public std::runtime_error {
public:
    static constexpr int kRefused = 1;    // the register refused; deviceCode holds its code
    static constexpr int kUsage = 2;      // the command line is wrong
    static constexpr int kLink = 3;       // the link failed or the register did not answer
    static constexpr int kBadInput = 4;   // an input file or picture could not be used

    CliFailure(int exitCode, const std::string& message, int deviceCode = 0)
        : std::runtime_error(message), m_exitCode(exitCode), m_deviceCode(deviceCode)
    {
    }

    // A file that could not be read or written, or that was refused.
    static CliFailure BadInput(const FileFault& fault)
    {
        return CliFailure(kBadInput, FaultText::Describe(fault, FaultText::Language::English));
    }

    int ExitCode() const { return m_exitCode; }
    int DeviceCode() const { return m_deviceCode; }

private:
    int m_exitCode;
    int m_deviceCode;
};
