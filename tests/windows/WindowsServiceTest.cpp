// The service wrapper against the system's own Service Control Manager, with
// service-probe (built beside this test) as the service. Under Wine, what its
// service manager does not keep is named in the skip.
#include "articles/TempFolder.h"
#include "serial/platform/WindowsHeader.h"
#include "service/windows/ScHandle.h"
#include "service/windows/WideText.h"
#include "service/windows/WindowsService.h"
#include "support/RunningUnderWine.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <chrono>
#include <memory>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

std::string ProbePath()
{
    std::vector<wchar_t> buffer(32768);
    GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return FromWide((std::filesystem::path(buffer.data()).parent_path() / L"service-probe.exe").wstring());
}

// A service name of this run's own, so that runs side by side do not meet.
std::string TestServiceName(const std::string& what)
{
    return "thermal-test-" + what + "-" + std::to_string(GetCurrentProcessId());
}

// The rows of service-probe's journal, "event: detail" each.
std::vector<std::string> JournalRows(const std::string& file)
{
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    sqlite3_stmt* select = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT event, detail FROM probe ORDER BY id", -1, &select, nullptr) == SQLITE_OK) {
        while (sqlite3_step(select) == SQLITE_ROW) {
            rows.push_back(std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, 0))) + ": " +
                           reinterpret_cast<const char*>(sqlite3_column_text(select, 1)));
        }
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return rows;
}

ScHandle OpenForQuery(const std::string& name)
{
    const ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    return ScHandle(manager ? OpenServiceW(manager.get(), ToWide(name).c_str(), SERVICE_QUERY_CONFIG) : nullptr);
}

// A buffer that QueryServiceConfig(2)W fills, as large as it asks for.
template <typename Query>
std::vector<BYTE> QueryBuffer(Query query)
{
    DWORD needed = 0;
    query(nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !query(buffer.data(), needed, &needed)) {
        buffer.clear();
    }
    return buffer;
}

TEST(WindowsServiceCommandLine, WindowsReadsBackEachArgument)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--config", "C:\\ProgramData\\ecrd\\ecrd.json"},
        {"--config", "C:\\Shop files\\ecrd.json"},
        {"", "after an empty one"},
        {"say \"hi\"", "\"", "a\"b"},
        {"C:\\folder with space\\", "C:\\no\\space\\"},
        {"two\\\\\"quoted", "\\\\server\\share"},
        {"tab\there", "Čačak Đurđevac"},
    };
    const std::string program = "C:\\Program Files\\Thermal\\ecrd.exe";
    for (const auto& arguments : cases) {
        std::vector<std::string> all = {program};
        all.insert(all.end(), arguments.begin(), arguments.end());
        const std::string line = WindowsService::CommandLine(all);
        int count = 0;
        LPWSTR* split = CommandLineToArgvW(ToWide(line).c_str(), &count);
        ASSERT_NE(split, nullptr) << line;
        std::vector<std::string> read;
        for (int i = 0; i < count; ++i) {
            read.push_back(FromWide(split[i]));
        }
        LocalFree(split);
        EXPECT_EQ(read, all) << line;
    }
}

TEST(WindowsServiceTest, InstalledToStartWithWindowsAndRemoved)
{
    const std::string name = TestServiceName("install");
    const std::vector<std::string> commandLine = {ProbePath(), "--config", "C:\\Shop files\\ecrd.json"};
    std::string error;
    ASSERT_TRUE(WindowsService::Install(name, "Thermal test", "A test service", commandLine, error)) << error;

    ScHandle service = OpenForQuery(name);
    ASSERT_TRUE(service);
    const std::vector<BYTE> config = QueryBuffer([&](BYTE* buffer, DWORD size, DWORD* needed) {
        return QueryServiceConfigW(service.get(), reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer), size, needed);
    });
    ASSERT_FALSE(config.empty());
    const auto* settings = reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(config.data());
    EXPECT_EQ(settings->dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(settings->dwStartType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(FromWide(settings->lpBinaryPathName), WindowsService::CommandLine(commandLine));
    EXPECT_EQ(FromWide(settings->lpDisplayName), "Thermal test");
    EXPECT_EQ(FromWide(settings->lpServiceStartName), "LocalSystem");

    EXPECT_FALSE(WindowsService::Install(name, "Thermal test", "A test service", commandLine, error));
    EXPECT_EQ(error, "a service named " + name + " is installed already");

    // Read before the service goes, checked after, so that a skip under
    // Wine leaves no service behind. The service is removed once no handle
    // is open.
    const std::vector<BYTE> failure = QueryBuffer([&](BYTE* buffer, DWORD size, DWORD* needed) {
        return QueryServiceConfig2W(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS, buffer, size, needed);
    });
    service.reset();
    EXPECT_TRUE(WindowsService::Uninstall(name, error)) << error;
    EXPECT_FALSE(WindowsService::Uninstall(name, error));
    EXPECT_EQ(error, "no service named " + name + " is installed");

    const auto* actions = reinterpret_cast<const SERVICE_FAILURE_ACTIONSW*>(failure.data());
    if (RunningUnderWine() && failure.empty()) {
        GTEST_SKIP() << "Wine's service manager takes failure actions without an error but does not give them back";
    }
    ASSERT_FALSE(failure.empty());
    EXPECT_EQ(actions->dwResetPeriod, 86400u);
    ASSERT_EQ(actions->cActions, 3u);
    const DWORD delays[] = {5000, 30000, 60000};
    for (DWORD i = 0; i < 3; ++i) {
        EXPECT_EQ(actions->lpsaActions[i].Type, SC_ACTION_RESTART) << i;
        EXPECT_EQ(actions->lpsaActions[i].Delay, delays[i]) << i;
    }
}

// Under the service manager: started, then stopped by the uninstall, which
// waits while the program finishes the work it had when the stop came.
TEST(WindowsServiceTest, StopWaitsUntilTheRunHasFinished)
{
    const TempFolder folder;
    const std::string name = TestServiceName("stop");
    const std::string journal = folder.File("ecrd-journal.sqlite");
    std::string error;
    ASSERT_TRUE(WindowsService::Install(name, "Thermal test", "A test service",
                                        {ProbePath(), "--name", name, "--config", folder.File("ecrd.json"),
                                         "--finish-ms", "700"},
                                        error))
        << error;
    const bool started = WindowsService::Start(name, error);
    EXPECT_TRUE(started) << error;
    const std::vector<std::string> running = JournalRows(journal);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(WindowsService::Uninstall(name, error)) << error;
    const auto stopping = std::chrono::steady_clock::now() - before;
    ASSERT_TRUE(started);

    EXPECT_EQ(running, std::vector<std::string>{"started: by the service manager"});
    EXPECT_EQ(JournalRows(journal),
              (std::vector<std::string>{"started: by the service manager", "stop asked: ", "finished: 700 ms later"}));
    EXPECT_GE(stopping, std::chrono::milliseconds(700));
}

// A program that ends before it serves: the start says so, with its exit code.
TEST(WindowsServiceTest, StartSaysWhenTheProgramEndedInstead)
{
    const TempFolder folder;
    const std::string name = TestServiceName("fail");
    std::string error;
    // No journal can be made in a folder that is not there: exit code 2.
    ASSERT_TRUE(WindowsService::Install(name, "Thermal test", "A test service",
                                        {ProbePath(), "--name", name, "--config", folder.File("none\\ecrd.json")},
                                        error))
        << error;
    EXPECT_FALSE(WindowsService::Start(name, error));
    EXPECT_EQ(error, "the service " + name + " is stopped (exit code 2)");
    EXPECT_TRUE(WindowsService::Uninstall(name, error)) << error;
}

TEST(WindowsServiceTest, FromAConsoleRunsNothing)
{
    bool ran = false;
    bool stopped = false;
    const auto code = WindowsService::Run(
        "thermal-test",
        [&](const std::function<void()>&) {
            ran = true;
            return 0;
        },
        [&] { stopped = true; });
    EXPECT_FALSE(code.has_value());
    EXPECT_FALSE(ran);
    EXPECT_FALSE(stopped);
}

TEST(WindowsServiceTest, StateFolderIsForTheServiceAndAdministratorsOnly)
{
    const std::string name = TestServiceName("folder");
    std::string error;
    const std::filesystem::path folder = WindowsService::ProgramDataFolder(name, error);
    ASSERT_FALSE(folder.empty()) << error;
    PWSTR programData = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &programData)));
    const std::filesystem::path expected = std::filesystem::path(programData) / ToWide(name);
    CoTaskMemFree(programData);
    EXPECT_EQ(folder, expected);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    // Made once: a second call takes the folder as it is.
    EXPECT_EQ(WindowsService::ProgramDataFolder(name, error), folder);

    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL acl = nullptr;
    const DWORD read = GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                             nullptr, &acl, nullptr, &descriptor);
    LPWSTR text = nullptr;
    std::string dacl;
    if (read == ERROR_SUCCESS &&
        ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
        dacl = FromWide(text);
        LocalFree(text);
    }
    LocalFree(descriptor);
    std::filesystem::remove(folder);
    EXPECT_EQ(read, static_cast<DWORD>(ERROR_SUCCESS));
    const std::string expectedDacl = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    if (RunningUnderWine() && dacl != expectedDacl) {
        GTEST_SKIP() << "Wine keeps no access list of a folder: it gives its own, " << dacl;
    }
    EXPECT_EQ(dacl, expectedDacl);
}

}  // namespace
