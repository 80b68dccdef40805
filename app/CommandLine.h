#pragma once

#include <string>
#include <vector>

// The options of the thermal program:
//   --simulator          a simulated register inside the program, on COM1
//   --baud N             with --simulator: pace its line at 9600 or 19200 baud
//   --port COMn=PATH     COMn opens PATH for this run (repeatable)
//   --log FILE           the session log goes to FILE
//   --no-log             no session log
//   --version
//   --help
class CommandLine {
public:
    // False with a message in Error() for anything else.
    bool Parse(const std::vector<std::string>& arguments);

    bool Simulator() const { return m_simulator; }
    // The simulated register's line speed; 0 = it answers at once.
    int SimulatorBaud() const { return m_simulatorBaud; }
    bool Help() const { return m_help; }
    bool Version() const { return m_version; }
    const std::vector<std::string>& PortMappings() const { return m_portMappings; }
    // Empty unless --log chose the file.
    const std::string& LogPath() const { return m_logPath; }
    bool NoLog() const { return m_noLog; }
    const std::string& Error() const { return m_error; }

    static const char* Usage();

private:
    bool m_simulator = false;
    int m_simulatorBaud = 0;
    bool m_help = false;
    bool m_version = false;
    std::vector<std::string> m_portMappings;
    std::string m_logPath;
    bool m_noLog = false;
    std::string m_error;
};
