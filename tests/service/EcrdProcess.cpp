#include "EcrdProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>

EcrdProcess::EcrdProcess() : m_command{ECRD_PROGRAM} {}

EcrdProcess::EcrdProcess(std::vector<std::string> command, std::string pathPrefix)
    : m_command(std::move(command)), m_pathPrefix(std::move(pathPrefix))
{
}

EcrdProcess::~EcrdProcess()
{
    if (m_pid > 0) {
        Signal(SIGKILL);
        Wait();
    }
    if (m_out >= 0)
        close(m_out);
}

bool EcrdProcess::Start(const std::string& folder, const std::string& config, std::string& error)
{
    const std::string configPath = folder + "/ecrd.json";
    std::ofstream(configPath) << config;
    m_errorsPath = folder + "/ecrd.err";
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        error = "no pipe";
        return false;
    }
    std::vector<std::string> arguments = m_command;
    arguments.insert(arguments.end(), {"--config", m_pathPrefix + configPath});
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        const int errors = open(m_errorsPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(errors, STDERR_FILENO);
        close(pipeEnds[0]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    m_out = pipeEnds[0];
    std::string printed;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    // A Windows program's line ends in CR LF.
    static const std::regex listening(R"(ecrd: listening on .*:([0-9]+)\r?\n)");
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd poller{m_out, POLLIN, 0};
        if (poll(&poller, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t got = read(m_out, buffer, sizeof buffer);
        if (got <= 0)
            break;
        printed.append(buffer, static_cast<std::size_t>(got));
        std::smatch m;
        if (std::regex_search(printed, m, listening)) {
            m_port = std::stoi(m[1]);
            return true;
        }
    }
    error = "ecrd did not listen: " + printed + Errors();
    return false;
}

void EcrdProcess::Signal(int signal) const
{
    if (m_pid > 0)
        kill(m_pid, signal);
}

int EcrdProcess::Wait()
{
    if (m_pid <= 0)
        return -1;
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string EcrdProcess::Errors() const
{
    std::ifstream file(m_errorsPath);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::size_t EcrdProcess::ResidentBytes() const
{
    std::ifstream status("/proc/" + std::to_string(m_pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return static_cast<std::size_t>(std::stoull(line.substr(6))) * 1024;
    }
    return 0;
}
