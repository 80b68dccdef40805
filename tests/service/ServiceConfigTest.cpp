// ecrd's configuration: what is read, and every mistake refused with the item named.
#include "articles/TempFolder.h"
#include "service/config/ServiceConfig.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string Refusal(const std::string& text)
{
    ServiceConfig config;
    std::string error;
    if (ServiceConfig::Parse(text, "/var/lib/ecrd", config, error))
        return "taken";
    return error;
}

struct Refuses {
    const char* label;
    std::string text;
    const char* message;
};

void PrintTo(const Refuses& c, std::ostream* os)
{
    *os << c.label;
}

class ConfigRefused : public testing::TestWithParam<Refuses> {};

const std::string kSim = R"({"id": "sim", "port": "sim"})";

}  // namespace

TEST_P(ConfigRefused, WithTheItemNamed)
{
    EXPECT_EQ(Refusal(GetParam().text), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConfigRefused,
    testing::Values(
        Refuses{"not_json", "{registers: []}",
                "not a JSON document: line 1, column 2: expected a key in double quotes"},
        Refuses{"no_registers", R"({"registers": []})", "registers: no register"},
        Refuses{"unknown_item", R"({"registers": [)" + kSim + R"(], "lisen": "127.0.0.1:1"})",
                "the configuration: unknown item \"lisen\""},
        Refuses{"open_without_token", R"({"listen": "0.0.0.0:8765", "registers": [)" + kSim + "]}",
                "token: required when listening on 0.0.0.0, which is not a loopback address"},
        Refuses{"listen_without_port", R"({"listen": "127.0.0.1", "registers": [)" + kSim + "]}",
                "listen: \"127.0.0.1\" is not HOST:PORT, such as 127.0.0.1:8765 or [::1]:8765"},
        Refuses{"id_twice", R"({"registers": [)" + kSim + "," + kSim + "]}", "register 2: the id \"sim\" comes twice"},
        Refuses{"id_with_slash", R"({"registers": [{"id": "a/b", "port": "sim"}]})",
                "register 1: id: \"a/b\" is not 1 to 32 letters, digits, '-' or '_'"},
        Refuses{"id_too_long", R"({"registers": [{"id": "a23456789012345678901234567890123", "port": "sim"}]})",
                "register 1: id: \"a23456789012345678901234567890123\" is not 1 to 32 letters, digits, '-' or '_'"},
        Refuses{"port_names_nothing", R"({"registers": [{"id": "k", "port": "LPT1"}]})",
                "register 1 \"k\": port: \"LPT1\" is neither a COM port (COM1, COM12), a device path, a device server "
                "(tcp://HOST:PORT, rfc2217://HOST:PORT) nor sim"},
        Refuses{"baud", R"({"registers": [{"id": "k", "port": "COM1", "baud": 115200}]})",
                "register 1 \"k\": baud: 115200 is not 9600 or 19200"},
        Refuses{"poll_limit_unknown", R"({"registers": [{"id": "k", "port": "sim", "pollLimits": {"retries": 3}}]})",
                "register 1 \"k\": pollLimits: unknown item \"retries\""},
        Refuses{"wait_above_most", R"({"defaultWaitMs": 9000, "maxWaitMs": 5000, "registers": [)" + kSim + "]}",
                "defaultWaitMs: above maxWaitMs"},
        Refuses{"state_directory_empty", R"({"stateDirectory": "", "registers": [)" + kSim + "]}",
                "stateDirectory: empty; leave it out for the default"},
        Refuses{"short_token_off_loopback",
                R"({"listen": "0.0.0.0:8765", "token": "s3cret", "allowPlainHttp": true, "registers": [)" + kSim + "]}",
                "token: 6 characters; off loopback a token has 32 or more (openssl rand -hex 32 makes one)"},
        Refuses{"token_with_newline", R"({"token": "abc\ndef", "registers": [)" + kSim + "]}",
                "token: a token is printable characters without spaces"},
        Refuses{"token_twice", R"({"token": "abc", "tokenFile": "/etc/ecrd/token", "registers": [)" + kSim + "]}",
                "tokenFile: give either \"token\" or \"tokenFile\", not both"},
        Refuses{"plain_http_off_loopback",
                R"({"listen": "0.0.0.0:8765", "token": "0123456789abcdef0123456789abcdef", "registers": [)" + kSim +
                    "]}",
                "tls: required when listening on 0.0.0.0, which is not a loopback address: the token would cross "
                "the network in clear (set \"allowPlainHttp\": true to serve plain HTTP anyway)"},
        Refuses{"tls_without_files", R"({"tls": {"certificate": "/nowhere/cert.pem", "key": "/nowhere/key.pem"},
                "registers": [)" + kSim + "]}",
                "tls: certificate: /nowhere/cert.pem is no file"},
        Refuses{"two_registers_on_one_device", R"({"registers": [{"id": "a", "port": "/dev/ttyUSB7"},
                {"id": "b", "port": "/dev/ttyUSB7"}]})",
                "register 2 \"b\": port: \"/dev/ttyUSB7\" leads to /dev/ttyUSB7, the line of register \"a\": one "
                "line carries one register"},
        Refuses{"two_registers_on_one_server", R"({"registers": [{"id": "a", "port": "tcp://kasa:4001"},
                {"id": "b", "port": "tcp://kasa:4001"}]})",
                "register 2 \"b\": port: \"tcp://kasa:4001\" leads to tcp://kasa:4001, the line of register "
                "\"a\": one line carries one register"}));

TEST(ServiceConfig, ListenIsHostColonPort)
{
    for (const std::string listen : {"127.0.0.1:65536", "127.0.0.1:http", "[::1:8765", "[]:8765", "a/b:8765"})
        EXPECT_EQ(Refusal(R"({"listen": ")" + listen + R"(", "registers": [)" + kSim + "]}"),
                  "listen: \"" + listen + "\" is not HOST:PORT, such as 127.0.0.1:8765 or [::1]:8765");
}

TEST(ServiceConfig, ReadsEveryItem)
{
    ServiceConfig config;
    std::string error;
    ASSERT_TRUE(ServiceConfig::Parse(R"({"listen": "[::1]:9000", "token": "t", "allowedOrigins": ["http://kasa"],
        "stateDirectory": "/srv/ecrd", "importFolder": "/srv/plu", "keepResultsHours": 48, "maxBodyBytes": 4096,
        "defaultWaitMs": 100, "maxWaitMs": 200, "maxQueue": 3, "sessionLogs": false, "keepLogDays": 2,
        "reopenFirstMs": 10, "reopenMaxMs": 20,
        "registers": [{"id": "kasa-1", "port": "/dev/ttyUSB0", "baud": 9600, "pollLimits": {"replyTimeoutMs": 250}},
                      {"id": "sim", "port": "sim", "simulatorJournal": "/tmp/j"},
                      {"id": "net", "port": "rfc2217://[::1]:4001"}]})",
                                     "/etc/ecrd", config, error))
        << error;
    EXPECT_EQ(config.listenHost, "::1");
    EXPECT_EQ(config.listenPort, 9000);
    EXPECT_TRUE(config.ListensOnLoopback());
    EXPECT_EQ(config.allowedOrigins, std::vector<std::string>{"http://kasa"});
    EXPECT_EQ(config.stateDirectory, "/srv/ecrd");
    EXPECT_EQ(config.maxQueue, 3u);
    EXPECT_FALSE(config.sessionLogs);
    ASSERT_EQ(config.registers.size(), 3u);
    EXPECT_EQ(config.registers[2].port, "rfc2217://[::1]:4001") << "a device server, as ecrctl --port takes it";
    EXPECT_EQ(config.registers[0].baud, 9600);
    ASSERT_TRUE(config.registers[0].pollLimits.has_value());
    EXPECT_EQ(config.registers[0].pollLimits->replyTimeoutMs, 250);
    EXPECT_EQ(config.registers[0].pollLimits->pollPauseMs, ECREngine::DefaultPollLimits().pollPauseMs);
    EXPECT_FALSE(config.registers[1].baudGiven) << "the simulated line answers at once unless a speed is given";
    EXPECT_EQ(config.registers[1].simulatorJournal, "/tmp/j");
}

TEST(ServiceConfig, LoopbackIsOnlyTheLoopbackNames)
{
    for (const char* host : {"127.0.0.1", "127.1.2.3", "::1", "localhost"})
        EXPECT_TRUE(ServiceConfig::IsLoopback(host)) << host;
    for (const char* host : {"0.0.0.0", "192.168.1.5", "::", "localhost.evil.example", "127.0.0.1.evil.example",
                             "127.0.0", "127.0.0.1000", "127..0.1"})
        EXPECT_FALSE(ServiceConfig::IsLoopback(host)) << host;
}

TEST(ServiceConfig, ATokenFileIsReadOnlyWhenNobodyElseMayReadIt)
{
    TempFolder folder;
    const std::string token(40, 'k');
    const std::string path = folder.Write("token", token + "\n");
    const std::string config = R"({"listen": "0.0.0.0:0", "allowPlainHttp": true, "tokenFile": ")" + path +
                               R"(", "registers": [)" + kSim + "]}";
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_EQ(Refusal(config), "tokenFile: " + path + " may be read by others than its owner (chmod 600 it, or 400)");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    ServiceConfig read;
    std::string error;
    ASSERT_TRUE(ServiceConfig::Parse(config, "/var/lib/ecrd", read, error)) << error;
    EXPECT_EQ(read.token, token) << "without the line's end";
}

// Where the journal goes: the configuration's stateDirectory, else systemd's
// $STATE_DIRECTORY, else the default the program gives (ecrd on Windows:
// %ProgramData%\ecrd), else the configuration file's folder.
TEST(ServiceConfig, TheStateDirectoryIsTheConfiguredOneElseTheSystemsElseTheProgramsElseTheFilesFolder)
{
    TempFolder folder;
    const std::string registers = R"("registers": [)" + kSim + "]}";
    const std::string withState = folder.Write("with.json", R"({"stateDirectory": "/srv/ecrd", )" + registers);
    const std::string without = folder.Write("without.json", "{" + registers);
    const std::string fileFolder = std::filesystem::path(without).parent_path().string();
    const struct {
        const std::string& file;
        const char* systemd;
        const char* programDefault;
        std::string expected;
    } cases[] = {
        {withState, "/var/lib/ecrd", "C:\\ProgramData\\ecrd", "/srv/ecrd"},
        {without, "/var/lib/ecrd", "C:\\ProgramData\\ecrd", "/var/lib/ecrd"},
        {without, nullptr, "C:\\ProgramData\\ecrd", "C:\\ProgramData\\ecrd"},
        {without, nullptr, "", fileFolder},
    };
    for (const auto& c : cases) {
        if (c.systemd != nullptr)
            setenv("STATE_DIRECTORY", c.systemd, 1);
        else
            unsetenv("STATE_DIRECTORY");
        ServiceConfig config;
        std::string error;
        EXPECT_TRUE(ServiceConfig::Read(c.file, config, error, c.programDefault)) << error;
        EXPECT_EQ(config.stateDirectory, c.expected)
            << c.file << ", " << (c.systemd ? c.systemd : "no $STATE_DIRECTORY") << ", default " << c.programDefault;
    }
    unsetenv("STATE_DIRECTORY");
}
