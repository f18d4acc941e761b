#include "serial/PortHolders.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace oskel {
namespace {

namespace fs = std::filesystem;

// The pid a /proc entry is named after, or 0 for the other entries.
int PidOf(const fs::directory_entry& entry)
{
    const std::string name = entry.path().filename().string();
    int pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
    return ec == std::errc() && end == name.data() + name.size() ? pid : 0;
}

std::string CommandName(const fs::path& processDir)
{
    std::ifstream in(processDir / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// The program's own name: its command line's first word, after the last '/'.
std::string FullName(const fs::path& processDir)
{
    std::ifstream in(processDir / "cmdline", std::ios::binary);
    std::string first;
    std::getline(in, first, '\0');
    if (const size_t slash = first.find_last_of('/'); slash != std::string::npos)
        first.erase(0, slash + 1);
    return first.empty() ? CommandName(processDir) : first;
}

template <typename Visit>
void ForEachProcess(const std::string& procRoot, Visit visit)
{
    std::error_code ec;
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        if (const int pid = PidOf(*it); pid > 0 && !visit(pid, it->path()))
            return;
    }
}

bool HoldsOpen(const fs::path& processDir, const fs::path& target)
{
    std::error_code ec;
    for (fs::directory_iterator it(processDir / "fd", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        if (fs::read_symlink(it->path(), linkError) == target)
            return true;
    }
    return false;
}

} // namespace

std::vector<PortHolder> FindPortHolders(const std::string& device, const std::string& procRoot)
{
    std::vector<PortHolder> holders;
    std::error_code ec;
    const fs::path target = fs::weakly_canonical(device, ec);
    if (device.empty() || ec)
        return holders;
    const int self = static_cast<int>(::getpid());
    ForEachProcess(procRoot, [&](int pid, const fs::path& dir) {
        if (pid != self && HoldsOpen(dir, target))
            holders.push_back({pid, FullName(dir)});
        return true;
    });
    return holders;
}

int FindProcess(const std::string& name, const std::string& procRoot)
{
    int found = 0;
    ForEachProcess(procRoot, [&](int pid, const fs::path& dir) {
        if (CommandName(dir) != name)
            return true;
        found = pid;
        return false;
    });
    return found;
}

std::string HoldersText(const std::vector<PortHolder>& holders)
{
    std::string text;
    for (const PortHolder& h : holders) {
        if (!text.empty())
            text += ", ";
        text += (h.name.empty() ? std::string("a process") : h.name) + " (pid " + std::to_string(h.pid) + ")";
    }
    return text;
}

} // namespace oskel
