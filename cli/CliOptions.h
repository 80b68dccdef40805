#pragma once

#include <cstdint>
#include <string>

// The global options, given before the subcommand.
struct CliOptions {
    std::string port = "COM1";  // a COM port (COMn), a device path, or "sim"
    std::string portGiven = "--port";  // where the port was named: "--port", or "ECRCTL_PORT"
    std::int32_t baud = 19200;
    bool trace = false;
    bool traceDecoded = false;  // --trace=decoded: one decoded line per frame, with its time
    std::string log;            // --log: the session log's file (appended to)
    bool json = false;
    std::string journal;        // with --port sim: where the simulated printout goes
    std::int32_t simulatorBaud = 0;  // with --port sim: the line paced at this rate (0 = unpaced)
};
