#pragma once

#include "ecr/protocol/ECREngine.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ecrd's configuration file (JSON), read strictly: an unknown item, a
// value of the wrong kind or out of range, a register named twice or a
// port that names nothing is refused with the item named, so a typing
// mistake never starts a service that behaves otherwise than written.
//
//   {"listen": "127.0.0.1:8765", "token": "...", "allowedOrigins": [],
//    "registers": [{"id": "kasa1", "port": "/dev/ttyUSB0", "baud": 19200},
//                  {"id": "sim", "port": "sim"}]}
//
// README.md lists every item.
struct ServiceConfig {
    struct Register {
        std::string id;    // in paths: letters, digits, '-' and '_', up to 32
        std::string port;  // as ecrctl --port takes it: COMn, a device path, "sim"
        std::int32_t baud = 19200;
        bool baudGiven = false;        // "sim" is paced only when a speed is given, as with ecrctl
        std::string simulatorJournal;  // "sim": where its printout goes
        // The engine's waits and bounds, for slow lines and tests; none: the design's.
        std::optional<ECREngine::PollLimits> pollLimits;
    };

    // The certificate and key (PEM files) that TLS is served with.
    struct Tls {
        std::string certificate;
        std::string key;
    };

    // The fewest characters of a token when the service listens off loopback.
    static constexpr std::size_t kLeastTokenLength = 32;

    // The items a configuration file may hold: the document's, a register's,
    // its pollLimits' and tls's. README.md's table lists each, and the manual
    // page is made from it (tests/service/DocumentedTablesTest.cpp compares).
    static const std::initializer_list<const char*> kItems;
    static const std::initializer_list<const char*> kRegisterItems;
    static const std::initializer_list<const char*> kPollLimitItems;
    static const std::initializer_list<const char*> kTlsItems;

    std::string listenHost = "127.0.0.1";
    int listenPort = 8765;  // 0: any free port (ecrd prints the one it got)
    // Required when listenHost is not a loopback address (kLeastTokenLength
    // printable characters or more, no space); from "token", or read from
    // "tokenFile" (a file only the service may read).
    std::string token;
    std::optional<Tls> tls;
    bool allowPlainHttp = false;  // off loopback without TLS: refused unless this is set
    std::vector<std::string> allowedOrigins;
    std::string stateDirectory;  // the job journal and the session logs
    std::string importFolder;    // article import files are named relative to it; empty: none
    std::int64_t keepResultsHours = 168;
    std::size_t maxBodyBytes = 1024 * 1024;
    std::int32_t defaultWaitMs = 5000;
    std::int32_t maxWaitMs = 300000;
    std::size_t maxQueue = 1000;  // jobs waiting per register
    bool sessionLogs = true;
    std::int32_t keepLogDays = 30;
    std::int32_t reopenFirstMs = 1000;  // back-off of a failed link: first wait, doubled up to
    std::int32_t reopenMaxMs = 30000;
    // A fiscal job not begun this long after it came fails with nothing sent
    // (too-late), so that no sale is printed long after its customer left.
    std::int32_t maxStartDelayMs = 30000;
    // After a printed fiscal job, with no job waiting, the register's totals
    // are read for the next receipt, so that a till does not wait for them.
    bool readTotalsAhead = true;
    std::vector<Register> registers;

    // 127.0.0.0/8, ::1 or localhost.
    static bool IsLoopback(const std::string& host);
    bool ListensOnLoopback() const { return IsLoopback(listenHost); }
    const Register* FindRegister(const std::string& id) const;

    // False with "where: what" in error. An absent stateDirectory becomes
    // $STATE_DIRECTORY (systemd's), else defaultState when one is given
    // (ecrd on Windows gives %ProgramData%\ecrd), else the folder of the
    // file. A path that begins with ${CREDENTIALS_DIRECTORY} (tokenFile, the
    // TLS files) is taken from there: systemd's credentials (LoadCredential=).
    static bool Read(const std::string& path, ServiceConfig& config, std::string& error,
                     const std::string& defaultState = "");
    static bool Parse(std::string_view text, const std::string& folder, ServiceConfig& config, std::string& error);
};
