#pragma once

#include <string>
#include <vector>

namespace oskel {

// Notices serial devices appearing, without polling: inotify on the device
// folder (tty* names, also when udev changes their permissions), on
// /dev/serial/by-id, and on the folder of each extra path named (an
// override or --device link, which may be a pty link anywhere).
class PortArrivalWatch {
public:
    explicit PortArrivalWatch(const std::vector<std::string>& namedDevices, const std::string& devDir = "/dev");
    ~PortArrivalWatch();
    PortArrivalWatch(const PortArrivalWatch&) = delete;
    PortArrivalWatch& operator=(const PortArrivalWatch&) = delete;

    // Readable when something arrived; -1 when inotify is not available.
    int Fd() const { return m_fd; }

    // Reads what is pending without blocking; true when a serial device or
    // one of the named paths may have appeared.
    bool TakeArrivals();

private:
    struct Watch {
        int wd;
        std::string name; // the one name that counts, "" for any
        bool ttyOnly;
    };
    void Add(const std::string& dir, const std::string& name, bool ttyOnly);
    bool Counts(int wd, const std::string& name) const;

    int m_fd = -1;
    std::vector<Watch> m_watches;
};

} // namespace oskel
