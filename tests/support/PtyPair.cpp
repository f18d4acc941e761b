#include "support/PtyPair.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace oskel::test {

PtyPair::PtyPair()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return;
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        close(m_master);
        m_master = -1;
        return;
    }
    m_slavePath = ptsname(m_master);
    // Without an open slave the master reads EIO; keep one open in raw mode.
    m_slaveKeeper = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (m_slaveKeeper >= 0 && tcgetattr(m_slaveKeeper, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_slaveKeeper, TCSANOW, &tio);
    }
}

PtyPair::~PtyPair()
{
    CloseMaster();
    if (m_slaveKeeper >= 0)
        close(m_slaveKeeper);
}

void PtyPair::CloseMaster()
{
    if (m_master >= 0)
        close(m_master);
    m_master = -1;
}

void PtyPair::Write(const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(m_master, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno != EINTR && errno != EAGAIN)
            return;
    }
}

std::vector<uint8_t> PtyPair::Read(size_t want, int timeoutMs)
{
    std::vector<uint8_t> out;
    while (out.size() < want) {
        pollfd p{m_master, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            break;
        uint8_t buffer[4096];
        const ssize_t n = read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.insert(out.end(), buffer, buffer + n);
    }
    return out;
}

} // namespace oskel::test
