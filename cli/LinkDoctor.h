#pragma once

#include "cli/HostPaths.h"
#include "cli/ProcessTable.h"

#include <string>
#include <vector>

// What commonly keeps a serial line from working on Linux, checked one by
// one, each with what to do about it: no such device, no permission (and
// whether the user is in the device's group), no hardware behind it, another
// program holding it, and the two services known to grab USB serial
// adapters (ModemManager, brltty). Looks at the machine through HostPaths
// and the identity it is given, so a test can lay out both.
class LinkDoctor {
public:
    struct Identity {
        unsigned uid = 0;
        std::vector<unsigned> groups;  // the process's own, primary included
        std::string user;
        static Identity Current();
    };

    struct Finding {
        bool problem = false;  // else all is well with what was checked
        std::string text;
        std::string advice;  // what to do; empty when nothing is to be done
    };

    LinkDoctor(HostPaths paths, Identity identity);

    // Both checks take the device itself, not a link to it: the caller
    // resolves links first (ResolveLink), or a simulated register at the
    // pseudo-terminal behind a link would pass for a second program.

    // The device: there, openable, free of locks, a serial line. True when
    // the line can be tried with a status enquiry.
    bool CheckDevice(const std::string& path, std::vector<Finding>& findings) const;
    // The processes holding the device open; none are named for a device
    // that every program opens for itself (/dev/null, /dev/ptmx, /dev/tty).
    void CheckHolders(const ProcessTable& processes, const std::string& path, std::vector<Finding>& findings) const;
    // ModemManager and brltty.
    void CheckServices(const ProcessTable& processes, std::vector<Finding>& findings) const;

    // The file a link leads to, links in its path followed too; the path as
    // given when it is no link or leads nowhere (the device check says so).
    static std::string ResolveLink(const std::string& path);

    // Why this user may not open a device of this mode (the st_mode
    // permission bits), owner and group, and what would let them.
    Finding ExplainPermission(const std::string& path, unsigned mode, unsigned owner, unsigned group) const;

private:
    struct Group {
        std::string name;
        std::vector<std::string> members;
    };
    // The group file's entry for a group id; the number as its name when it has none.
    Group FindGroup(unsigned gid) const;

    HostPaths m_paths;
    Identity m_identity;
};
