#include "ecr/commands/ECRSessionLog.h"

#include "ecr/commands/AppendTarget.h"
#include "ecr/commands/Utf8Path.h"

#include "ecr/protocol/ECRTrafficText.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace {

std::string LocalTimeNow()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[64] = "";
    if (local != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", local);
    }
    return text;
}

std::string Reason()
{
    return errno != 0 ? std::strerror(errno) : "the file cannot be written";
}

}  // namespace

bool ECRSessionLog::Open(const std::string& path, std::string_view program, std::string& error)
{
    Close();
    // A FIFO nobody reads would hold the open for ever, and a program with it.
    if (!AppendTarget::Check(path, error)) {
        return false;
    }
    errno = 0;
    m_file.open(Utf8Path(path), std::ios::out | std::ios::app | std::ios::binary);
    if (!m_file.is_open()) {
        error = "cannot open " + path + ": " + Reason();
        return false;
    }
    m_path = path;
    m_error.clear();
    const std::string header = std::string(kHeaderStart) + ": " + std::string(program) + ", started " +
                               LocalTimeNow() +
                               "; times in ms since then; traffic lines end in TAB and the bytes in hexadecimal";
    if (!Write(header)) {
        error = m_error;
        return false;
    }
    return true;
}

void ECRSessionLog::Close()
{
    if (m_file.is_open()) {
        m_file.close();
    }
}

bool ECRSessionLog::Write(std::string_view line)
{
    return Append(line) && Flush();
}

bool ECRSessionLog::Append(std::string_view line)
{
    if (!m_file.is_open()) {
        return false;
    }
    errno = 0;
    m_file.write(line.data(), static_cast<std::streamsize>(line.size()));
    m_file.put('\n');
    return Check();
}

bool ECRSessionLog::Flush()
{
    if (!m_file.is_open()) {
        return false;
    }
    errno = 0;
    m_file.flush();
    return Check();
}

bool ECRSessionLog::Check()
{
    if (!m_file) {
        m_error = "cannot write " + m_path + ": " + Reason();
        m_file.close();
        return false;
    }
    return true;
}

std::string ECRSessionLog::TrafficLine(std::string_view decoded, std::string_view bytes)
{
    std::string line(decoded);
    line += "\t[";
    line += ECRTrafficText::HexLine(bytes);
    line += ']';
    return line;
}

bool ECRSessionLog::ParseTrafficLine(std::string_view line, std::string_view& decoded, std::string& bytes)
{
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const std::size_t tab = line.rfind('\t');
    if (tab == std::string_view::npos || line.size() < tab + 3 || line[tab + 1] != '[' || line.back() != ']') {
        return false;
    }
    if (!ECRTrafficText::ParseHexLine(line.substr(tab + 2, line.size() - tab - 3), bytes)) {
        return false;
    }
    decoded = line.substr(0, tab);
    return true;
}
