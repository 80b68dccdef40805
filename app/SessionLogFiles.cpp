#include "app/SessionLogFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = "thermal-";
constexpr const char* kSuffix = ".log";

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool IsLogName(const std::string& name)
{
    const std::string suffix = kSuffix;
    return name.rfind(kPrefix, 0) == 0 && name.size() > suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Names sort by their start time; a second file of the same second ("-2")
// sorts after the first once the ".log" is left out.
std::string Stem(const fs::path& file)
{
    return file.stem().string();
}

}  // namespace

std::string SessionLogFiles::DefaultFolder()
{
#ifdef _WIN32
    const std::string base = Environment("LOCALAPPDATA");
    return base.empty() ? std::string() : (fs::path(base) / "thermal" / "logs").string();
#else
    const std::string state = Environment("XDG_STATE_HOME");
    if (!state.empty() && fs::path(state).is_absolute()) {
        return (fs::path(state) / "thermal" / "logs").string();
    }
    const std::string home = Environment("HOME");
    return home.empty() ? std::string() : (fs::path(home) / ".local" / "state" / "thermal" / "logs").string();
#endif
}

bool SessionLogFiles::Prepare(const std::string& folder, std::time_t start, std::string& path, std::string& error)
{
    if (folder.empty()) {
        error = "no folder for the session logs (HOME is not set)";
        return false;
    }
    std::error_code failure;
    fs::create_directories(folder, failure);
    if (failure) {
        error = "cannot make " + folder + ": " + failure.message();
        return false;
    }

    std::vector<fs::path> logs;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, failure)) {
        if (entry.is_regular_file(failure) && IsLogName(entry.path().filename().string())) {
            logs.push_back(entry.path());
        }
    }
    std::sort(logs.begin(), logs.end(), [](const fs::path& a, const fs::path& b) { return Stem(a) < Stem(b); });
    for (std::size_t i = 0; i + kKept <= logs.size(); ++i) {
        fs::remove(logs[i], failure);
    }

    char stamp[32] = "";
    const std::tm* local = std::localtime(&start);
    if (local == nullptr || std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", local) == 0) {
        error = "the clock gives no time for the log's name";
        return false;
    }
    fs::path file = fs::path(folder) / (kPrefix + std::string(stamp) + kSuffix);
    for (int n = 2; fs::exists(file, failure); ++n) {
        file = fs::path(folder) / (kPrefix + std::string(stamp) + "-" + std::to_string(n) + kSuffix);
    }
    path = file.string();
    return true;
}
