#include "serial/PortArrivalWatch.h"

#include <cerrno>
#include <filesystem>
#include <sys/inotify.h>
#include <unistd.h>

namespace oskel {
namespace {

constexpr uint32_t kArrivalEvents = IN_CREATE | IN_MOVED_TO | IN_ATTRIB;

} // namespace

PortArrivalWatch::PortArrivalWatch(const std::vector<std::string>& namedDevices, const std::string& devDir)
    : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_fd < 0)
        return;
    Add(devDir, "", true);
    Add(devDir + "/serial/by-id", "", false);
    for (const std::string& device : namedDevices) {
        const std::filesystem::path path(device);
        if (!device.empty())
            Add(path.parent_path().empty() ? "." : path.parent_path().string(), path.filename().string(), false);
    }
}

PortArrivalWatch::~PortArrivalWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void PortArrivalWatch::Add(const std::string& dir, const std::string& name, bool ttyOnly)
{
    const int wd = inotify_add_watch(m_fd, dir.c_str(), kArrivalEvents);
    if (wd >= 0)
        m_watches.push_back({wd, name, ttyOnly});
}

bool PortArrivalWatch::Counts(int wd, const std::string& name) const
{
    for (const Watch& w : m_watches) {
        if (w.wd != wd)
            continue;
        if (w.ttyOnly ? name.starts_with("tty") : (w.name.empty() || w.name == name))
            return true;
    }
    return false;
}

bool PortArrivalWatch::TakeArrivals()
{
    bool arrived = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return arrived;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            const std::string name = event->len > 0 ? std::string(event->name) : std::string();
            arrived = arrived || (event->mask & IN_Q_OVERFLOW) != 0 || Counts(event->wd, name);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

} // namespace oskel
