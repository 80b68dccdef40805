#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A program as a Windows service: registered with the Service Control Manager
// (started with Windows, restarted after a failure), removed again, and run
// under it, where a stop or the system's shutdown asks the program to end and
// the SCM is told that the stop is under way until the program has finished
// its work. Names and paths are UTF-8, as everywhere in the programs.
class WindowsService {
public:
    // The service's entry: runs the program until it is asked to stop and
    // returns its exit code (0: a stop as asked). It calls onStarted once it
    // serves; until then the SCM shows the service as starting.
    using RunFunction = std::function<int(const std::function<void()>& onStarted)>;
    // Asks the running program to end and returns at once; the run function
    // then finishes what it is doing and returns.
    using StopFunction = std::function<void()>;

    // How long a start may take before the program says it serves.
    static constexpr std::chrono::seconds kStartLimit{60};
    // How long a stop may take: every register's running exchange finishes.
    static constexpr std::chrono::seconds kStopLimit{120};

    // Registers the service `name`, run as LocalSystem, started with Windows,
    // restarted 5 s, 30 s and 60 s after each of its failures (a crash or an
    // end with an error; the count starts again after a day without one).
    // commandLine is the program and its arguments, each quoted as Windows
    // reads them back, so that a path with spaces names one file. A service
    // of that name already there is an error: it is left as it is.
    static bool Install(const std::string& name, const std::string& displayName, const std::string& description,
                        const std::vector<std::string>& commandLine, std::string& error);
    // Stops the service, waiting while it reports its stop under way, and
    // removes it. False with the reason (not installed, did not stop).
    static bool Uninstall(const std::string& name, std::string& error);
    // Starts the service and waits until it runs. False with the reason: it
    // could not be started, or it stopped (with its exit code) instead.
    static bool Start(const std::string& name, std::string& error);

    // True when the SCM started this process (its parent is the SCM's
    // services.exe); false when it was started otherwise, from a console.
    static bool StartedByServiceManager();
    // Runs the program under the SCM when the SCM started this process and
    // returns the run function's exit code once it has returned. nullopt when
    // the process was started otherwise, where the program runs as it would
    // anywhere; nothing is called then.
    static std::optional<int> Run(const std::string& name, RunFunction run, StopFunction stop);

    // %ProgramData%\<folder> as a path, whether it exists or not. Empty, with
    // the reason, when the system does not say where %ProgramData% is.
    static std::filesystem::path ProgramDataPath(const std::string& folder, std::string& error);
    // %ProgramData%\<folder>, made if missing with an access list of its own
    // (full control for SYSTEM, which the service runs as, and Administrators;
    // nothing inherited from %ProgramData%, which lets every user add files),
    // which everything made in it inherits. A folder that exists is left as
    // it is. Empty, with the reason, when it cannot be had.
    static std::filesystem::path ProgramDataFolder(const std::string& folder, std::string& error);

    // The command line Windows reads back as these arguments (as
    // CommandLineToArgvW and the C runtime split it).
    static std::string CommandLine(const std::vector<std::string>& arguments);
};
