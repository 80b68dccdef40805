#include "ecr/articles/SafeFileWrite.h"

#include "ecr/commands/Utf8Path.h"

#include <filesystem>
#include <fstream>
#include <system_error>

bool SafeFileWrite::Write(const std::string& path, std::string_view bytes, std::string& error)
{
    const std::string temporary = TemporaryPath(path);
    {
        std::ofstream file(Utf8Path(temporary), std::ios::binary | std::ios::trunc);
        if (!file) {
            error = "Problem pri otvaranju fajla: " + path;
            return false;
        }
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(Utf8Path(temporary), ignored);
            error = "Problem pri upisu u fajl: " + path;
            return false;
        }
    }
    std::error_code renameError;
    std::filesystem::rename(Utf8Path(temporary), Utf8Path(path), renameError);
    if (renameError) {
        std::error_code ignored;
        std::filesystem::remove(Utf8Path(temporary), ignored);
        error = "Problem pri upisu u fajl: " + path + " (" + renameError.message() + ")";
        return false;
    }
    return true;
}
