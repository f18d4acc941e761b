#pragma once

#include <string>
#include <vector>

namespace oskel {

// A process that has a device open.
struct PortHolder {
    int pid = 0;
    // Its name: the first word of its command line, without the folder
    // (/proc/<pid>/cmdline), so never cut short as the kernel's 15-character
    // comm is; comm when the command line is empty (a kernel thread).
    std::string name;
};

// The processes other than this one that hold `device` open, found as fuser
// finds them: by the /proc/<pid>/fd links. Only processes whose descriptors
// this user may read are seen (all of them for root). Opens nothing.
std::vector<PortHolder> FindPortHolders(const std::string& device, const std::string& procRoot = "/proc");

// The pid of a running process with the command name `name`, or 0.
int FindProcess(const std::string& name, const std::string& procRoot = "/proc");

// "ModemManager (pid 812)", several joined by ", ". The one holder check of
// `ports`, `probe` and the camera-not-found reason.
std::string HoldersText(const std::vector<PortHolder>& holders);

} // namespace oskel
