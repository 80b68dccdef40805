#include "service/config/ServiceConfig.h"

#include "ecr/files/FaultText.h"
#include "ecr/files/InputFile.h"
#include "ecr/files/JsonFields.h"
#include "ecr/files/JsonReader.h"
#include "link/ComPortMap.h"
#include "link/LinkTarget.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

const std::string kDigits = "0123456789";
// Printable ASCII without the space.
const std::string kVisible = [] {
    std::string visible;
    for (char c = '!'; c <= '~'; ++c)
        visible += c;
    return visible;
}();
const std::string kLettersAndDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz" + kDigits;

// Whether this build serves HTTPS: the Windows build has no OpenSSL.
#ifdef THERMAL_HTTP_TLS
constexpr bool kHasTls = true;
#else
constexpr bool kHasTls = false;
#endif
const std::string kNoTls = "this ecrd is built without TLS (without OpenSSL, as the Windows build is)";

// Every character of text is one of allowed.
bool OnlyOf(const std::string& text, const std::string& allowed)
{
    return text.find_first_not_of(allowed) == std::string::npos;
}

bool Digits(const std::string& text, std::size_t fewest, std::size_t most)
{
    return text.size() >= fewest && text.size() <= most && OnlyOf(text, kDigits);
}

// HOST:PORT, the host a name, an IPv4 address or an IPv6 one in brackets.
bool SplitListen(const std::string& listen, std::string& host, int& port)
{
    std::size_t colon = 0;
    if (!listen.empty() && listen.front() == '[') {
        const std::size_t close = listen.find(']');
        if (close == std::string::npos || close < 2)
            return false;
        host = listen.substr(1, close - 1);
        if (!OnlyOf(host, kDigits + "ABCDEFabcdef:."))
            return false;
        colon = close + 1;
        if (colon >= listen.size() || listen[colon] != ':')
            return false;
    } else {
        colon = listen.find(':');
        if (colon == std::string::npos || colon == 0)
            return false;
        host = listen.substr(0, colon);
        if (!OnlyOf(host, kLettersAndDigits + ".-"))
            return false;
    }
    const std::string number = listen.substr(colon + 1);
    if (!Digits(number, 1, 5))
        return false;
    port = std::stoi(number);
    return port <= 65535;
}

using Kind = JsonValue::Kind;

std::int64_t Whole(const JsonValue& object, const char* key, std::int64_t low, std::int64_t high, std::int64_t fallback,
                   const std::string& where)
{
    const JsonValue* value = JsonFields::Optional(object, key, Kind::Number, where);
    if (value == nullptr)
        return fallback;
    if (value->AsNumber() < low || value->AsNumber() > high)
        JsonFields::Refuse(where + ": " + key, std::to_string(value->AsNumber()) + " is outside " +
                                                   std::to_string(low) + ".." + std::to_string(high));
    return value->AsNumber();
}

std::string Text(const JsonValue& object, const char* key, const std::string& fallback, const std::string& where)
{
    const JsonValue* value = JsonFields::Optional(object, key, Kind::String, where);
    return value == nullptr ? fallback : value->AsString();
}

ECREngine::PollLimits ReadPollLimits(const JsonValue& value, const std::string& where)
{
    JsonFields::Object(value, {}, where, ServiceConfig::kPollLimitItems);
    ECREngine::PollLimits limits = ECREngine::DefaultPollLimits();
    const auto set = [&](const char* key, std::int32_t& field, std::int64_t low, std::int64_t high) {
        field = static_cast<std::int32_t>(Whole(value, key, low, high, field, where));
    };
    set("replyTimeoutMs", limits.replyTimeoutMs, 1, 600000);
    set("statusTimeoutMs", limits.statusTimeoutMs, 1, 600000);
    set("pollPauseMs", limits.pollPauseMs, 0, 600000);
    set("quietMs", limits.quietMs, 1, 600000);
    set("maxSilentWaits", limits.maxSilentWaits, 1, 1000);
    set("maxReadyWithoutReply", limits.maxReadyWithoutReply, 1, 1000);
    set("maxBusyMilliseconds", limits.maxBusyMilliseconds, 1, 3600000);
    return limits;
}

ServiceConfig::Register ReadRegister(const JsonValue& value, const std::string& where)
{
    JsonFields::Object(value, {"id", "port"}, where, ServiceConfig::kRegisterItems);
    ServiceConfig::Register reg;
    reg.id = JsonFields::Member(value, "id", Kind::String, where).AsString();
    if (reg.id.empty() || reg.id.size() > 32 || !OnlyOf(reg.id, kLettersAndDigits + "_-"))
        JsonFields::Refuse(where + ": id", "\"" + reg.id + "\" is not 1 to 32 letters, digits, '-' or '_'");
    const std::string named = where + " \"" + reg.id + "\"";
    reg.port = JsonFields::Member(value, "port", Kind::String, named).AsString();
    if (!LinkTarget::Names(reg.port))
        JsonFields::Refuse(named + ": port",
                           "\"" + reg.port +
                               "\" is neither a COM port (COM1, COM12), a device path, a device server "
                               "(tcp://HOST:PORT, rfc2217://HOST:PORT) nor sim");
    if (const JsonValue* baud = JsonFields::Optional(value, "baud", Kind::Number, named)) {
        if (baud->AsNumber() != 9600 && baud->AsNumber() != 19200)
            JsonFields::Refuse(named + ": baud", std::to_string(baud->AsNumber()) + " is not 9600 or 19200");
        reg.baud = static_cast<std::int32_t>(baud->AsNumber());
        reg.baudGiven = true;
    }
    reg.simulatorJournal = Text(value, "simulatorJournal", "", named);
    if (const JsonValue* limits = value.Find("pollLimits"))
        reg.pollLimits = ReadPollLimits(*limits, named + ": pollLimits");
    return reg;
}

void ReadListen(const std::string& listen, ServiceConfig& config)
{
    std::string host;
    int port = 0;
    if (!SplitListen(listen, host, port))
        JsonFields::Refuse("listen", "\"" + listen + "\" is not HOST:PORT, such as 127.0.0.1:8765 or [::1]:8765");
    config.listenHost = host;
    config.listenPort = port;
}

// A path that begins with ${CREDENTIALS_DIRECTORY} is taken from there.
std::string Expanded(const std::string& path, const std::string& where)
{
    const std::string variable = "${CREDENTIALS_DIRECTORY}";
    if (path.rfind(variable, 0) != 0)
        return path;
    const char* credentials = std::getenv("CREDENTIALS_DIRECTORY");
    if (credentials == nullptr || *credentials == '\0')
        JsonFields::Refuse(where,
                           "\"" + path + "\" names systemd's credentials, but none were given (LoadCredential=)");
    return credentials + path.substr(variable.size());
}

// A secret read from a file that only the service may read. On Windows who
// may read it is the access list's, which ecrd's folder there
// (%ProgramData%\ecrd) gives to SYSTEM and the administrators only.
std::string ReadSecretFile(const std::string& path, const std::string& where)
{
#ifndef _WIN32
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && (status.st_mode & (S_IRGRP | S_IROTH)) != 0)
        JsonFields::Refuse(where, path + " may be read by others than its owner (chmod 600 it, or 400)");
#endif
    std::string text;
    FileFault fault;
    if (!InputFile::ReadAll(path, 4096, text, fault))
        JsonFields::Refuse(where, FaultText::Describe(fault, FaultText::Language::English));
    // An editor's last line end is not part of the secret.
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    return text;
}

void ReadToken(const JsonValue& document, ServiceConfig& config, const std::string& where)
{
    const JsonValue* file = JsonFields::Optional(document, "tokenFile", Kind::String, where);
    config.token = Text(document, "token", "", where);
    if (file != nullptr && document.Find("token") != nullptr)
        JsonFields::Refuse("tokenFile", "give either \"token\" or \"tokenFile\", not both");
    if (file != nullptr)
        config.token = ReadSecretFile(Expanded(file->AsString(), "tokenFile"), "tokenFile");
    const char* item = file != nullptr ? "tokenFile" : "token";
    if (!OnlyOf(config.token, kVisible))
        JsonFields::Refuse(item, "a token is printable characters without spaces");
    if (config.ListensOnLoopback())
        return;
    if (config.token.empty())
        JsonFields::Refuse("token",
                           "required when listening on " + config.listenHost + ", which is not a loopback address");
    if (config.token.size() < ServiceConfig::kLeastTokenLength)
        JsonFields::Refuse(item, std::to_string(config.token.size()) + " characters; off loopback a token has " +
                                     std::to_string(ServiceConfig::kLeastTokenLength) +
                                     " or more (openssl rand -hex 32 makes one)");
}

void ReadTls(const JsonValue& document, ServiceConfig& config, const std::string& where)
{
    if (const JsonValue* tls = JsonFields::Optional(document, "tls", Kind::Object, where)) {
        if (!kHasTls)
            JsonFields::Refuse("tls", kNoTls +
                                          ": leave it out, and listen on a loopback address or set "
                                          "\"allowPlainHttp\": true");
        JsonFields::Object(*tls, ServiceConfig::kTlsItems, "tls");
        ServiceConfig::Tls files;
        files.certificate =
            Expanded(JsonFields::Member(*tls, "certificate", Kind::String, "tls").AsString(), "tls: certificate");
        files.key = Expanded(JsonFields::Member(*tls, "key", Kind::String, "tls").AsString(), "tls: key");
        for (const auto& [item, path] :
             {std::pair<const char*, const std::string&>{"tls: certificate", files.certificate},
              {"tls: key", files.key}}) {
            std::error_code ignored;
            if (!std::filesystem::is_regular_file(path, ignored))
                JsonFields::Refuse(item, path + " is no file");
        }
        config.tls = files;
    }
    if (const JsonValue* plain = JsonFields::Optional(document, "allowPlainHttp", Kind::Bool, where))
        config.allowPlainHttp = plain->AsBool();
    if (config.ListensOnLoopback() || config.tls || config.allowPlainHttp)
        return;
    const std::string offLoopback =
        "required when listening on " + config.listenHost + ", which is not a loopback address: ";
    if (kHasTls)
        JsonFields::Refuse("tls", offLoopback +
                                      "the token would cross the network in clear (set \"allowPlainHttp\": true to "
                                      "serve plain HTTP anyway)");
    JsonFields::Refuse("allowPlainHttp", offLoopback + kNoTls +
                                             ", so the token crosses the network in clear; set it true to serve plain "
                                             "HTTP anyway");
}

// What a port leads to, for telling two registers on one line apart: a
// device path with its links followed, a device server's address, COMn
// where it leads; none for "sim" (each is a register of its own).
std::optional<std::string> LineOf(const std::string& port)
{
    if (port == LinkTarget::kSimulator)
        return std::nullopt;
    const std::optional<PortAddress> address = ComPortMap().Resolve(port);
    if (!address)
        return std::nullopt;
    if (address->IsNetwork())
        return address->Text();
    const std::string name = address->DeviceName();
    std::error_code ignored;
    const std::filesystem::path real = std::filesystem::weakly_canonical(name, ignored);
    return real.empty() ? name : real.string();
}

void ReadConfig(const JsonValue& document, const std::string& folder, ServiceConfig& config)
{
    const std::string where = "the configuration";
    JsonFields::Object(document, {"registers"}, where, ServiceConfig::kItems);
    ReadListen(Text(document, "listen", "127.0.0.1:8765", where), config);
    ReadToken(document, config, where);
    ReadTls(document, config, where);
    if (const JsonValue* origins = JsonFields::Optional(document, "allowedOrigins", Kind::Array, where)) {
        for (const JsonValue& origin : origins->Items())
            config.allowedOrigins.push_back(JsonFields::Expect(origin, Kind::String, "allowedOrigins").AsString());
    }
    const char* systemdState = std::getenv("STATE_DIRECTORY");
    config.stateDirectory = Text(document, "stateDirectory",
                                 systemdState != nullptr && *systemdState != '\0' ? systemdState : folder, where);
    if (config.stateDirectory.empty())
        JsonFields::Refuse("stateDirectory", "empty; leave it out for the default");
    config.importFolder = Text(document, "importFolder", "", where);
    config.keepResultsHours = Whole(document, "keepResultsHours", 1, 24 * 366, config.keepResultsHours, where);
    config.maxBodyBytes = static_cast<std::size_t>(
        Whole(document, "maxBodyBytes", 1024, 64 * 1024 * 1024, static_cast<std::int64_t>(config.maxBodyBytes), where));
    config.defaultWaitMs =
        static_cast<std::int32_t>(Whole(document, "defaultWaitMs", 0, 3600000, config.defaultWaitMs, where));
    config.maxWaitMs = static_cast<std::int32_t>(Whole(document, "maxWaitMs", 0, 3600000, config.maxWaitMs, where));
    if (config.defaultWaitMs > config.maxWaitMs)
        JsonFields::Refuse("defaultWaitMs", "above maxWaitMs");
    config.maxQueue = static_cast<std::size_t>(
        Whole(document, "maxQueue", 1, 1000000, static_cast<std::int64_t>(config.maxQueue), where));
    if (const JsonValue* logs = JsonFields::Optional(document, "sessionLogs", Kind::Bool, where))
        config.sessionLogs = logs->AsBool();
    config.keepLogDays = static_cast<std::int32_t>(Whole(document, "keepLogDays", 1, 36600, config.keepLogDays, where));
    config.reopenFirstMs =
        static_cast<std::int32_t>(Whole(document, "reopenFirstMs", 1, 3600000, config.reopenFirstMs, where));
    config.reopenMaxMs =
        static_cast<std::int32_t>(Whole(document, "reopenMaxMs", 1, 3600000, config.reopenMaxMs, where));
    config.maxStartDelayMs =
        static_cast<std::int32_t>(Whole(document, "maxStartDelayMs", 1, 3600000, config.maxStartDelayMs, where));
    if (const JsonValue* ahead = JsonFields::Optional(document, "readTotalsAhead", Kind::Bool, where))
        config.readTotalsAhead = ahead->AsBool();

    const JsonValue& registers = JsonFields::Member(document, "registers", Kind::Array, where);
    if (registers.Items().empty())
        JsonFields::Refuse("registers", "no register");
    std::set<std::string> ids;
    std::map<std::string, std::string> lines;  // what a port leads to, and the register on it
    for (std::size_t i = 0; i < registers.Items().size(); ++i) {
        const std::string at = "register " + std::to_string(i + 1);
        ServiceConfig::Register reg = ReadRegister(registers.Items()[i], at);
        if (!ids.insert(reg.id).second)
            JsonFields::Refuse(at, "the id \"" + reg.id + "\" comes twice");
        if (const std::optional<std::string> line = LineOf(reg.port)) {
            const auto [other, fresh] = lines.emplace(*line, reg.id);
            if (!fresh)
                JsonFields::Refuse(at + " \"" + reg.id + "\": port", "\"" + reg.port + "\" leads to " + *line +
                                                                         ", the line of register \"" + other->second +
                                                                         "\": one line carries one register");
        }
        config.registers.push_back(std::move(reg));
    }
}

}  // namespace

const std::initializer_list<const char*> ServiceConfig::kItems{
    "listen",          "token",           "tokenFile",        "tls",          "allowPlainHttp", "allowedOrigins",
    "stateDirectory",  "importFolder",    "keepResultsHours", "maxBodyBytes", "defaultWaitMs",  "maxWaitMs",
    "maxQueue",        "maxStartDelayMs", "sessionLogs",      "keepLogDays",  "reopenFirstMs",  "reopenMaxMs",
    "readTotalsAhead", "registers"};
const std::initializer_list<const char*> ServiceConfig::kRegisterItems{"id", "port", "baud", "simulatorJournal",
                                                                       "pollLimits"};
const std::initializer_list<const char*> ServiceConfig::kPollLimitItems{"replyTimeoutMs",     "statusTimeoutMs",
                                                                        "pollPauseMs",        "quietMs",
                                                                        "maxSilentWaits",     "maxReadyWithoutReply",
                                                                        "maxBusyMilliseconds"};
const std::initializer_list<const char*> ServiceConfig::kTlsItems{"certificate", "key"};

bool ServiceConfig::IsLoopback(const std::string& host)
{
    if (host == "localhost" || host == "::1")
        return true;
    // 127.N.N.N, each N one to three digits.
    if (host.compare(0, 4, "127.") != 0)
        return false;
    std::size_t from = 4;
    for (int part = 0; part < 3; ++part) {
        const std::size_t dot = part < 2 ? host.find('.', from) : host.size();
        if (dot == std::string::npos || !Digits(host.substr(from, dot - from), 1, 3))
            return false;
        from = dot + 1;
    }
    return true;
}

const ServiceConfig::Register* ServiceConfig::FindRegister(const std::string& id) const
{
    for (const Register& reg : registers) {
        if (reg.id == id)
            return &reg;
    }
    return nullptr;
}

bool ServiceConfig::Parse(std::string_view text, const std::string& folder, ServiceConfig& config, std::string& error)
{
    JsonValue document;
    std::string syntax;
    if (!JsonReader::Parse(text, document, syntax)) {
        error = "not a JSON document: " + syntax;
        return false;
    }
    ServiceConfig read;
    try {
        ReadConfig(document, folder, read);
    } catch (const JsonFields::Refusal& refusal) {
        error = refusal.message;
        return false;
    }
    config = std::move(read);
    return true;
}

bool ServiceConfig::Read(const std::string& path, ServiceConfig& config, std::string& error,
                         const std::string& defaultState)
{
    std::string text;
    FileFault fault;
    if (!InputFile::ReadAll(path, 1024 * 1024, text, fault)) {
        error = FaultText::Describe(fault, FaultText::Language::English);
        return false;
    }
    const std::string folder =
        defaultState.empty() ? std::filesystem::absolute(path).parent_path().string() : defaultState;
    if (!Parse(text, folder, config, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
