#pragma once

#include "cli/CliCommandGroup.h"

#include <cstdint>
#include <string>

class CliOutput;

// ecrctl decode FILE|-: reads a capture (raw bytes, the monitor's
// hexadecimal text, or a session log) and prints one decoded line per
// entry as it reads, so that a capture of any length takes little memory
// (ECRCaptureStream). Needs no register. Ends with exit code 3 when a frame
// failed its check, as a run with the register would.
class DecodeSubcommand : public CliCommandGroup {
public:
    // The largest capture read: a long day's session log fits.
    static constexpr std::uint64_t kMaxBytes = 1024ULL * 1024 * 1024;
    // With --json every line is held for the one document, up to this much text.
    static constexpr std::uint64_t kMaxJsonBytes = 32ULL * 1024 * 1024;

    void Register(CLI::App& app, CliAction& chosen) override;

private:
    // Throws CliFailure: bad input (4) when the capture cannot be read, is
    // too large or makes too large a JSON document; 3 when a frame in it
    // failed its check (after every line is out).
    void Run(CliOutput& output) const;

    std::string m_path;
};
