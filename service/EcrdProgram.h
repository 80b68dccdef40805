#pragma once

#include "service/config/ServiceConfig.h"

#include <functional>
#include <string>

// ecrd as a program, the same on every system: its configuration read or
// only checked, the service started and said to be listening, and stopped
// when the system asks (a signal on Linux; the service manager or Ctrl+C on
// Windows). What it has to say goes to standard output and standard error.
namespace EcrdProgram {

// Reads the configuration file at path (defaultState: see
// ServiceConfig::Read). False once the problem is printed.
bool ReadConfig(const std::string& path, const std::string& defaultState, ServiceConfig& config);

// --check-config: 0 when the file would start ecrd (said so, with what it
// configures), 2 when not (the problem printed).
int CheckConfig(const std::string& path, const std::string& defaultState);

// Starts the service, prints the address it listens on and calls onStarted;
// then waits in waitForStop, which returns once a stop is asked (and says
// why), and stops the service: every register's running exchange finishes.
// The exit code: 0 after a stop, else EcrdService::Started's.
int Serve(const ServiceConfig& config, const std::function<void()>& onStarted,
          const std::function<std::string()>& waitForStop);

}  // namespace EcrdProgram
