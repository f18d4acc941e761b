#include "PtyServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include "serial/SerialTimeouts.h"

namespace oskel::emulator {
namespace {

uint64_t MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

int BpsOf(speed_t s)
{
    static const struct {
        speed_t constant;
        int bps;
    } kTable[] = {{B1200, 1200},     {B2400, 2400},     {B4800, 4800},     {B9600, 9600},
                  {B19200, 19200},   {B38400, 38400},   {B57600, 57600},   {B115200, 115200},
                  {B230400, 230400}, {B460800, 460800}, {B921600, 921600}};
    for (const auto& e : kTable) {
        if (e.constant == s)
            return e.bps;
    }
    return 0;
}

constexpr uint64_t kIdleWaitUs = 200000;
constexpr uint64_t kClosedPollUs = 10000;
constexpr uint64_t kOutputGroupUs = 2000;
// A timed wake-up comes 50-80 us late even with a timer slack of 1 ns
// (waking an idle processor, worst in a virtual machine): more than a byte
// at 230400 bit/s, in every answer. The loop wakes this much early and
// watches the clock (polling the port without waiting) for the rest.
constexpr uint64_t kEarlyWakeUs = 120;

} // namespace

PtyServer::PtyServer(CameraEngine& camera) : m_camera(camera), m_startNs(MonotonicNs()) {}

PtyServer::~PtyServer()
{
    RemoveLink();
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyServer::Open(const std::string& link, std::string* error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128] = {};
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        *error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    m_slave = name;
    struct stat st{};
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = link + " exists and is not a symbolic link; not replacing it";
            return false;
        }
        if (::unlink(link.c_str()) != 0) {
            *error = "cannot replace the old link " + link + ": " + std::strerror(errno);
            return false;
        }
    }
    if (::symlink(m_slave.c_str(), link.c_str()) != 0) {
        *error = "cannot create the link " + link + ": " + std::strerror(errno);
        return false;
    }
    m_link = link;
    return true;
}

void PtyServer::RemoveLink()
{
    if (m_link.empty())
        return;
    char target[256] = {};
    const ssize_t n = ::readlink(m_link.c_str(), target, sizeof target - 1);
    if (n > 0 && m_slave == std::string(target, static_cast<size_t>(n)))
        ::unlink(m_link.c_str());
    m_link.clear();
}

uint64_t PtyServer::NowUs() const
{
    return (MonotonicNs() - m_startNs) / 1000u;
}

// The PC's port settings: on Linux the master reads the slave's termios.
LineFormat PtyServer::PcFormat() const
{
    termios tio{};
    LineFormat f = LineFormat::Raw8N1(9600);
    if (tcgetattr(m_master, &tio) != 0)
        return f;
    const int bps = BpsOf(cfgetospeed(&tio));
    f.bps = bps > 0 ? bps : 9600;
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        f.dataBits = 5;
        break;
    case CS6:
        f.dataBits = 6;
        break;
    case CS7:
        f.dataBits = 7;
        break;
    default:
        f.dataBits = 8;
        break;
    }
    f.parity = (tio.c_cflag & PARENB) == 0 ? LineFormat::kNone
                                           : ((tio.c_cflag & PARODD) != 0 ? LineFormat::kOdd : LineFormat::kEven);
    f.stopBits = (tio.c_cflag & CSTOPB) != 0 ? 2 : 1;
    return f;
}

void PtyServer::ReadFromPc(uint64_t nowUs)
{
    uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            return;
        const LineFormat pc = PcFormat();
        if (m_adapter.MaxBps() > 0 && pc.bps > m_adapter.MaxBps())
            continue; // the port cannot send at that speed
        m_camera.SetPeerFormat(pc);
        // Each byte's end from the start of the piece, so that the rounding
        // of one byte's time (43.4 us at 230400 bit/s) does not add up.
        const uint64_t start = std::max(nowUs, m_pcTxFreeUs);
        for (ssize_t i = 0; i < n; ++i)
            m_camera.ReceiveFromLine(start + WireTimeUs(pc.bps, static_cast<int>(i + 1)), buffer[i], pc);
        m_pcTxFreeUs = start + WireTimeUs(pc.bps, static_cast<int>(n));
    }
}

void PtyServer::WriteToPc(uint64_t nowUs)
{
    const std::vector<TimedByte> due = m_camera.TakeOutput(nowUs);
    if (!m_pcOpen) {
        m_adapter.Clear();
        return;
    }
    const LineFormat pc = PcFormat();
    std::vector<uint8_t> bytes;
    const bool overLimit = m_adapter.MaxBps() > 0 && pc.bps > m_adapter.MaxBps();
    for (const TimedByte& b : due) {
        for (const ReceivedByte& r : ReceiveAs(b.value, b.format, pc)) {
            if (overLimit)
                continue;
            if (m_adapter.Usb())
                m_adapter.Arrive(b.atUs, r.value);
            else
                bytes.push_back(r.value);
        }
    }
    for (const AdapterModel::Due& d : m_adapter.TakeDue(nowUs))
        bytes.push_back(d.value);
    if (bytes.empty())
        return;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{m_master, POLLOUT, 0};
            if (poll(&p, 1, 100) > 0 && (p.revents & POLLOUT) != 0)
                continue;
        }
        return; // the PC does not read, or has gone: what is left is lost on the line
    }
}

// How long to sleep before the next thing happens. The camera's bytes are
// handed over in groups: a wake-up per byte (every 43 us at 230400 bit/s)
// would cost more than the line it models. A group ends with the last byte
// due within kOutputGroupUs of the first, so the end of every answer
// reaches the PC on time and no byte is more than kOutputGroupUs late.
uint64_t PtyServer::WakeAfterUs(uint64_t nowUs) const
{
    uint64_t next = m_camera.NextEventUs();
    if (next == m_camera.NextOutputUs() && next != UINT64_MAX) {
        const uint64_t groupEnd = m_camera.LastOutputDueBy(next + kOutputGroupUs);
        next = std::min(m_camera.NextTimerUs(), std::max(next, groupEnd));
    }
    next = std::min(next, m_adapter.NextReleaseUs());
    return next <= nowUs ? 0 : std::min(next - nowUs, kIdleWaitUs);
}

void PtyServer::Run(const volatile std::sig_atomic_t* stop, const std::function<void(const std::string&)>& status,
                    const std::function<void()>& turn)
{
    m_pcOpen = true; // until the first hang-up: a slave never opened reads as open
    while (*stop == 0) {
        uint64_t now = NowUs();
        m_camera.AdvanceTo(now);
        if (turn)
            turn();
        WriteToPc(now);
        const uint64_t waitUs = WakeAfterUs(now);
        pollfd p{m_master, POLLIN, 0};
        if (!m_pcOpen) {
            // poll() reports the hang-up at once while no one has the slave
            // open; look again after a short nap.
            timespec nap{0, static_cast<long>(std::min(waitUs, kClosedPollUs) * 1000u)};
            nanosleep(&nap, nullptr);
            if (poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0) {
                m_pcOpen = true;
                m_pcTxFreeUs = 0;
                status("the PC opened the port");
            }
            continue;
        }
        const uint64_t sleepUs = waitUs > kEarlyWakeUs ? waitUs - kEarlyWakeUs : 0;
        timespec timeout{static_cast<time_t>(sleepUs / 1000000u), static_cast<long>((sleepUs % 1000000u) * 1000u)};
        const int r = ppoll(&p, 1, &timeout, nullptr);
        if (r < 0)
            continue; // a signal: look at *stop
        now = NowUs();
        if ((p.revents & POLLIN) != 0)
            ReadFromPc(now);
        if ((p.revents & POLLHUP) != 0) {
            m_pcOpen = false;
            if (m_resetOnClose)
                m_camera.LineDropped(now);
            status("the PC closed the port");
        }
    }
}

} // namespace oskel::emulator
