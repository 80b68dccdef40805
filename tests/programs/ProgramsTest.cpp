// The three programs run as a user runs them, for what their main alone
// decides: a file size limit (ulimit -f) makes writes fail instead of
// killing the program, and a FIFO nobody reads, given as a log or journal,
// is refused at once instead of holding the start for ever.
#include "support/ChildProcess.h"
#include "articles/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// How long a program may take to refuse or to finish; a hang lasts longer.
constexpr int kPromptMs = 20000;

ChildProcess::Options Headless(long long fileSizeLimit = -1)
{
    ChildProcess::Options options;
    options.fileSizeLimit = fileSizeLimit;
    options.environment = {{"QT_QPA_PLATFORM", "offscreen"}};
    return options;
}

std::vector<std::string> Temporaries(const TempFolder& folder)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder.File(""))) {
        if (entry.path().filename().string().rfind(".thermal-", 0) == 0)
            found.push_back(entry.path().filename().string());
    }
    return found;
}

struct Ending {
    bool exited;
    int code;
    int signal;
};

Ending EndOf(ChildProcess& program)
{
    EXPECT_TRUE(program.Wait(kPromptMs)) << "still running: it hangs";
    return {program.Exited(), program.ExitCode(), program.Signal()};
}

}  // namespace

TEST(Programs, PastAFileSizeLimitTheWriteFailsWithItsMessageAndNothingIsLeft)
{
    struct Case {
        const char* label;
        std::vector<std::string> arguments;  // after the program; FILE stands for the file written
        int code;
        const char* message;
    };
    std::vector<Case> cases = {
        {"ecrctl writing a dump",
         {ECRCTL_PROGRAM, "--port", "sim", "memory", "dump", "fiscal", "FILE"},
         4,
         "cannot be written (File too large)"},
        {"ecrctl writing its log",
         {ECRCTL_PROGRAM, "--log", "FILE", "--port", "sim", "status"},
         4,
         "no session log: cannot write"},
#ifdef THERMAL_PROGRAM
        {"thermal writing its log", {THERMAL_PROGRAM, "--log", "FILE"}, 1, "thermal: no session log: cannot write"},
#endif
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        for (std::string& argument : c.arguments) {
            if (argument == "FILE")
                argument = folder.File("out.bin");
        }
        ChildProcess program(c.arguments, Headless(64));
        const Ending ending = EndOf(program);
        EXPECT_EQ(ending.signal, 0) << "ended by signal " << ending.signal;
        EXPECT_TRUE(ending.exited);
        EXPECT_EQ(ending.code, c.code) << program.Errors();
        EXPECT_NE(program.Errors().find(c.message), std::string::npos) << program.Errors();
        EXPECT_TRUE(Temporaries(folder).empty());
    }
}

TEST(Programs, TheSimulatedRegisterAnswersOnWhenItsJournalReachesAFileSizeLimit)
{
    TempFolder folder;
    ChildProcess simulator({ECR_SIM_PROGRAM, "--journal", folder.File("journal.txt")}, Headless(100));
    const std::string device = simulator.ReadLine(kPromptMs);
    ASSERT_FALSE(device.empty()) << simulator.Errors();
    // A daily report prints far more than 100 bytes into the journal.
    for (const char* subcommand : {"report", "status"}) {
        std::vector<std::string> arguments = {ECRCTL_PROGRAM, "--port", device, subcommand};
        if (std::string(subcommand) == "report")
            arguments.push_back("daily");
        ChildProcess client(arguments, Headless());
        const Ending ending = EndOf(client);
        EXPECT_EQ(ending.code, 0) << subcommand << ": " << client.Errors();
    }
    EXPECT_TRUE(simulator.Running()) << "ended by signal " << simulator.Signal();
    simulator.Stop(SIGTERM);
    EXPECT_TRUE(simulator.Exited());
    EXPECT_EQ(simulator.ExitCode(), 0);
    EXPECT_LE(fs::file_size(folder.File("journal.txt")), 100U);
}

TEST(Programs, AFifoNobodyReadsAsLogOrJournalIsRefusedAtOnce)
{
    TempFolder folder;
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::vector<std::string> arguments;
        int code;
        std::string message;
    };
    const std::string refusal = fifo + " is a FIFO (named pipe) that no program reads";
    std::vector<Case> cases = {
        {{ECR_SIM_PROGRAM, "--journal", fifo}, 1, "ecr-sim: no journal: " + refusal},
        {{ECRCTL_PROGRAM, "--port", "sim", "--journal", fifo, "status"}, 4, "no journal: " + refusal},
        {{ECRCTL_PROGRAM, "--log", fifo, "--port", "sim", "status"}, 4, "no session log: " + refusal},
#ifdef THERMAL_PROGRAM
        {{THERMAL_PROGRAM, "--log", fifo}, 1, "thermal: no session log: " + refusal},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
        ChildProcess program(c.arguments, Headless());
        const Ending ending = EndOf(program);
        EXPECT_TRUE(ending.exited);
        EXPECT_EQ(ending.code, c.code);
        EXPECT_NE(program.Errors().find(c.message), std::string::npos) << program.Errors();
    }
}
