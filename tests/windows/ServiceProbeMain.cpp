// service-probe: a program that runs under the Windows service manager as
// ecrd does, for the service wrapper's tests. It keeps a journal (SQLite, WAL,
// as ecrd's) named as ecrd's beside its configuration file, with a row when it
// starts (and whether the service manager started it), when it is asked to
// stop, and when its run has finished the work it had, which takes --finish-ms.
//
//   service-probe --install-service --config FILE [--name NAME] [the run's options]
//   service-probe --uninstall-service [--name NAME]
//   service-probe --config FILE [--name NAME] [--finish-ms MS] [--fail-after-ms MS]
//
// The last runs it: as the service NAME when the service manager started it,
// else until Ctrl+C. --fail-after-ms ends it with exit code 3 after that long.
#include "serial/platform/WindowsHeader.h"
#include "service/windows/WideText.h"
#include "service/windows/WindowsService.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <sqlite3.h>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex g_mutex;
std::condition_variable g_stopChanged;
bool g_stop = false;

void AskToStop()
{
    {
        std::lock_guard lock(g_mutex);
        g_stop = true;
    }
    g_stopChanged.notify_all();
}

BOOL WINAPI OnConsoleControl(DWORD)
{
    AskToStop();
    return TRUE;
}

// One row of the journal: what happened, and its detail.
bool Record(const std::filesystem::path& file, const std::string& event, const std::string& detail)
{
    sqlite3* db = nullptr;
    bool done = sqlite3_open_v2(FromWide(file.wstring()).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                nullptr) == SQLITE_OK;
    done = done && sqlite3_exec(db,
                                "PRAGMA journal_mode=WAL;"
                                "CREATE TABLE IF NOT EXISTS probe(id INTEGER PRIMARY KEY, event TEXT, detail TEXT)",
                                nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_stmt* insert = nullptr;
    done = done &&
           sqlite3_prepare_v2(db, "INSERT INTO probe(event, detail) VALUES(?, ?)", -1, &insert, nullptr) == SQLITE_OK;
    done = done && sqlite3_bind_text(insert, 1, event.c_str(), -1, SQLITE_TRANSIENT) == SQLITE_OK &&
           sqlite3_bind_text(insert, 2, detail.c_str(), -1, SQLITE_TRANSIENT) == SQLITE_OK &&
           sqlite3_step(insert) == SQLITE_DONE;
    if (!done) {
        std::fprintf(stderr, "service-probe: %s: %s\n", FromWide(file.wstring()).c_str(), sqlite3_errmsg(db));
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return done;
}

int RunProbe(const std::filesystem::path& journal, bool underScm, const std::function<void()>& onStarted, int finishMs,
             int failAfterMs)
{
    if (!Record(journal, "started", underScm ? "by the service manager" : "from a console")) {
        return 2;
    }
    onStarted();
    std::unique_lock lock(g_mutex);
    const auto stopped = [] { return g_stop; };
    if (failAfterMs > 0) {
        if (!g_stopChanged.wait_for(lock, std::chrono::milliseconds(failAfterMs), stopped)) {
            Record(journal, "failed", "on purpose");
            return 3;
        }
    } else {
        g_stopChanged.wait(lock, stopped);
    }
    Record(journal, "stop asked", "");
    std::this_thread::sleep_for(std::chrono::milliseconds(finishMs));
    return Record(journal, "finished", std::to_string(finishMs) + " ms later") ? 0 : 2;
}

wchar_t* ProgramPath(std::vector<wchar_t>& buffer)
{
    buffer.assign(32768, L'\0');
    GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return buffer.data();
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    // CLI11 takes them last first.
    std::vector<std::string> args;
    for (int i = argc - 1; i > 0; --i) {
        args.push_back(FromWide(argv[i]));
    }
    CLI::App app{"service-probe: a stand-in for ecrd under the Windows service manager", "service-probe"};
    std::string name = "ecrd";
    std::string config;
    bool install = false;
    bool uninstall = false;
    int finishMs = 1000;
    int failAfterMs = 0;
    app.add_option("--name", name, "the service's name");
    app.add_option("--config", config, "the configuration file; the journal is kept beside it");
    app.add_flag("--install-service", install, "register the service with the service manager");
    app.add_flag("--uninstall-service", uninstall, "stop and remove the service");
    app.add_option("--finish-ms", finishMs, "how long the work takes that a stop lets finish");
    app.add_option("--fail-after-ms", failAfterMs, "end with exit code 3 after this long");
    try {
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }

    std::string error;
    if (uninstall) {
        if (!WindowsService::Uninstall(name, error)) {
            std::fprintf(stderr, "service-probe: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (config.empty()) {
        std::fprintf(stderr, "service-probe: give --config FILE\n");
        return 2;
    }
    const std::filesystem::path configPath =
        std::filesystem::absolute(std::filesystem::path(std::u8string(config.begin(), config.end())));
    if (install) {
        std::vector<wchar_t> buffer;
        // The service runs as this run would have.
        std::vector<std::string> commandLine = {FromWide(ProgramPath(buffer)), "--name", name, "--config",
                                                FromWide(configPath.wstring())};
        for (const auto& [option, value] : {std::pair{"--finish-ms", finishMs}, {"--fail-after-ms", failAfterMs}}) {
            commandLine.insert(commandLine.end(), {option, std::to_string(value)});
        }
        if (WindowsService::ProgramDataFolder(name, error).empty() ||
            !WindowsService::Install(name, "Thermal " + name + " (probe)",
                                     "A stand-in for ecrd: keeps a journal of its starts and stops", commandLine,
                                     error)) {
            std::fprintf(stderr, "service-probe: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }

    const std::filesystem::path journal = configPath.parent_path() / "ecrd-journal.sqlite";
    const auto run = [&](bool underScm, const std::function<void()>& onStarted) {
        return RunProbe(journal, underScm, onStarted, finishMs, failAfterMs);
    };
    if (const auto code = WindowsService::Run(
            name, [&](const std::function<void()>& onStarted) { return run(true, onStarted); }, AskToStop)) {
        return *code;
    }
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    return run(false, [] { std::printf("service-probe: running; Ctrl+C ends it\n"); });
}
