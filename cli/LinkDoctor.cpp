#include "cli/LinkDoctor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// "crw-rw----", as ls shows it.
std::string ModeText(unsigned mode)
{
    std::string text = S_ISCHR(mode) ? "c" : S_ISDIR(mode) ? "d" : S_ISREG(mode) ? "-" : "?";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400u >> bit)) != 0 ? letters[bit] : '-';
    return text;
}

// Devices that every program opens for a use of its own, each open its own
// (the memory devices such as /dev/null, /dev/tty, /dev/console, /dev/ptmx;
// the numbers are the kernel's fixed ones): that other processes hold one
// says nothing about a line.
bool OpenedByEveryProgram(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        return false;
    const unsigned type = major(info.st_rdev);
    return type == 1 || (type == 5 && minor(info.st_rdev) <= 2);
}

// What the two character devices most often taken for a line are instead;
// null for any other.
const char* NotALine(const struct stat& info)
{
    if (!S_ISCHR(info.st_mode) || major(info.st_rdev) != 5)
        return nullptr;
    switch (minor(info.st_rdev)) {
    case 0: return " is the terminal of whichever program opens it, not a serial line";
    case 2:
        return " is the pseudo-terminal multiplexer: each open makes a new pseudo-terminal with nothing at its "
               "other end";
    default: return nullptr;
    }
}

std::string UserName(unsigned uid)
{
    const passwd* entry = ::getpwuid(uid);
    return entry != nullptr ? entry->pw_name : std::to_string(uid);
}

std::string Pids(const std::vector<ProcessTable::Process>& processes)
{
    std::string text;
    for (const ProcessTable::Process& process : processes)
        text += (text.empty() ? "" : ", ") + std::to_string(process.pid);
    return text;
}

}  // namespace

LinkDoctor::Identity LinkDoctor::Identity::Current()
{
    Identity identity;
    identity.uid = ::getuid();
    identity.user = UserName(identity.uid);
    identity.groups.push_back(::getgid());
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, groups.data());
        for (int i = 0; i < got; ++i)
            identity.groups.push_back(groups[static_cast<std::size_t>(i)]);
    }
    return identity;
}

LinkDoctor::LinkDoctor(HostPaths paths, Identity identity) : m_paths(std::move(paths)), m_identity(std::move(identity))
{
}

std::string LinkDoctor::ResolveLink(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? path : target.string();
}

LinkDoctor::Group LinkDoctor::FindGroup(unsigned gid) const
{
    // name:password:gid:member,member
    std::ifstream file(m_paths.groupFile);
    std::string line;
    while (std::getline(file, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ':');)
            fields.push_back(field);
        if (fields.size() < 3 || fields[2] != std::to_string(gid))
            continue;
        Group group{fields[0], {}};
        if (fields.size() > 3) {
            std::stringstream members(fields[3]);
            for (std::string member; std::getline(members, member, ',');)
                group.members.push_back(member);
        }
        return group;
    }
    return Group{std::to_string(gid), {}};
}

LinkDoctor::Finding LinkDoctor::ExplainPermission(const std::string& path, unsigned mode, unsigned owner,
                                                  unsigned group) const
{
    const Group entry = FindGroup(group);
    Finding finding;
    finding.problem = true;
    finding.text = "no permission to open " + path + " (" + ModeText(mode) + ", owner " + UserName(owner) + ", group " +
                   entry.name + ")";
    const bool groupMayUse = (mode & 060) == 060;
    const bool inGroup =
        std::find(m_identity.groups.begin(), m_identity.groups.end(), group) != m_identity.groups.end();
    const bool listedInGroup =
        std::find(entry.members.begin(), entry.members.end(), m_identity.user) != entry.members.end();
    if (groupMayUse && !inGroup && listedInGroup) {
        finding.text +=
            "; the group file has " + m_identity.user + " in " + entry.name + ", but this login began before that";
        finding.advice = "log out and in again (or run: newgrp " + entry.name + ") so that the group counts";
    } else if (groupMayUse && !inGroup) {
        finding.text += "; " + m_identity.user + " is not in the group " + entry.name;
        finding.advice = "sudo usermod -aG " + entry.name + " " + m_identity.user + ", then log out and in again";
    } else if (inGroup) {
        finding.text += "; the group " + entry.name + " may not read and write it";
        finding.advice = "a udev rule for the device with MODE=\"0660\" (ask the administrator)";
    } else {
        finding.advice =
            "a udev rule for the device with GROUP=\"dialout\", MODE=\"0660\", and the user in dialout "
            "(ask the administrator)";
    }
    return finding;
}

bool LinkDoctor::CheckDevice(const std::string& path, std::vector<Finding>& findings) const
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        findings.push_back({true, "no such device: " + path,
                            "plug the adapter in, or choose the port it is on (ecrctl ports lists them; ECR_COMn=PATH "
                            "leads COMn to a device)"});
        return false;
    }
    if (const char* instead = NotALine(info)) {
        findings.push_back({true, path + instead,
                            "give the serial device (ecrctl ports lists them), or for the simulated register the "
                            "pseudo-terminal ecr-sim prints or the link it makes (ecr-sim --link PATH)"});
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM) {
            findings.push_back(ExplainPermission(path, info.st_mode, info.st_uid, info.st_gid));
        } else if (error == EBUSY) {
            findings.push_back(
                {true, path + " is held exclusively by another program", "close the program that uses the port"});
        } else if (error == ENXIO || error == ENODEV || error == EIO) {
            findings.push_back({true, "no hardware answers behind " + path,
                                "the kernel lists the port, but it has no UART or the adapter was pulled; choose "
                                "another port (ecrctl ports)"});
        } else {
            findings.push_back({true, "cannot open " + path + ": " + std::strerror(error), ""});
        }
        return false;
    }
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    if (locked) {
        findings.push_back({true, path + " is locked by another program (this tool or thermal holds it)",
                            "close the other program first"});
        return false;
    }
    if (!terminal) {
        findings.push_back(
            {true, path + " opens, but it is not a serial line", "choose a serial device (ecrctl ports)"});
        return false;
    }
    findings.push_back({false, path + " opens for reading and writing", ""});
    return true;
}

void LinkDoctor::CheckHolders(const ProcessTable& processes, const std::string& path,
                              std::vector<Finding>& findings) const
{
    if (OpenedByEveryProgram(path))
        return;
    const std::vector<ProcessTable::Process> holders = processes.Holding(path);
    // A pseudo-terminal's other end is a program (a simulated register) that holds it too.
    const bool pseudoTerminal = path.rfind("/dev/pts/", 0) == 0;
    for (const ProcessTable::Process& holder : holders) {
        if (pseudoTerminal) {
            findings.push_back({false,
                                path + " is a pseudo-terminal, also open in process " + std::to_string(holder.pid) +
                                    " (" + holder.name + "), as a rule the program at its other end",
                                ""});
            continue;
        }
        findings.push_back({true,
                            path + " is open in process " + std::to_string(holder.pid) + " (" + holder.name +
                                "); two programs on one line spoil each other's answers",
                            "close " + holder.name + ", or end it: kill " + std::to_string(holder.pid)});
    }
    if (holders.empty() && processes.Unreadable() != 0) {
        findings.push_back({false,
                            "no process of this user holds " + path + "; " + std::to_string(processes.Unreadable()) +
                                " processes of other users could not be looked at",
                            "to see them all too: sudo ecrctl doctor"});
    } else if (holders.empty()) {
        findings.push_back({false, "no other process holds " + path, ""});
    }
}

void LinkDoctor::CheckServices(const ProcessTable& processes, std::vector<Finding>& findings) const
{
    const std::vector<ProcessTable::Process> modemManager = processes.Named("ModemManager");
    if (!modemManager.empty()) {
        findings.push_back({true,
                            "ModemManager runs (PID " + Pids(modemManager) +
                                "): it probes new serial adapters for modems, holding the port and sending it AT "
                                "commands for some seconds",
                            "sudo systemctl stop ModemManager (and disable, to keep it off), or a udev rule "
                            "ENV{ID_MM_DEVICE_IGNORE}=\"1\" for the adapter"});
    }
    const std::vector<ProcessTable::Process> brltty = processes.Named("brltty");
    if (!brltty.empty()) {
        findings.push_back({true,
                            "brltty runs (PID " + Pids(brltty) +
                                "): it takes some USB serial adapters (CH341, CP210x, FTDI) for braille displays, "
                                "and their ttyUSB device disappears",
                            "without a braille display: sudo apt remove brltty (or sudo systemctl mask "
                            "brltty-udev.service)"});
    }
    if (modemManager.empty() && brltty.empty())
        findings.push_back({false, "neither ModemManager nor brltty runs", ""});
}
