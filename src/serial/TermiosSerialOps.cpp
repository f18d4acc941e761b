#include "serial/TermiosSerialOps.h"

#include "platform/RealTimeSource.h"
#include "platform/RealTimeThreadPriority.h"
#include "serial/PortOverrides.h"
#include "serial/SerialTimeouts.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace oskel {
namespace {

uint64_t MonotonicUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

// The slave side of a Unix 98 pseudo-terminal (majors 136 to 143).
bool IsPseudoTerminal(int fd)
{
    struct stat st{};
    return fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

void SleepUntilUs(uint64_t deadlineUs)
{
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(deadlineUs / 1000000u);
    ts.tv_nsec = static_cast<long>((deadlineUs % 1000000u) * 1000u);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

bool SpeedConstant(int bps, speed_t* out)
{
    static const struct {
        int bps;
        speed_t constant;
    } kTable[] = {
        {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
        {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
        {230400, B230400}, {460800, B460800}, {921600, B921600},
    };
    for (const auto& entry : kTable) {
        if (entry.bps == bps) {
            *out = entry.constant;
            return true;
        }
    }
    return false;
}

OpenError::Kind KindOfErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
        return OpenError::NoDevice;
    case EACCES:
    case EPERM:
        return OpenError::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return OpenError::InUse;
    case ENOTTY:
    case EISDIR: // a folder
        return OpenError::NotSerial;
    default:
        return OpenError::Other;
    }
}

// Raw 8-N-1: no echo, no CR/LF translation, no flow control (XON is the
// protocol's DC1, and a camera cable need not carry CTS: with RTS/CTS left on
// by an earlier program nothing would ever be sent), reads that never block
// in the driver.
void MakeRaw(termios& tio)
{
    cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
}

bool IsRaw8N1(const termios& tio)
{
    return (tio.c_cflag & CSIZE) == CS8 && (tio.c_cflag & (PARENB | CSTOPB | CRTSCTS)) == 0 &&
           (tio.c_iflag & (IXON | IXOFF)) == 0 && (tio.c_lflag & (ICANON | ECHO | ISIG)) == 0 &&
           (tio.c_cflag & CREAD) != 0;
}

} // namespace

TermiosSerialOps::TermiosSerialOps(TimeSource& time, ThreadPriority& priority, PortMap ports)
    : PacedSerialOps(time, priority), m_ports(std::move(ports))
{
}

TermiosSerialOps::~TermiosSerialOps()
{
    ClosePort();
}

TermiosSerialOps& TermiosSerialOps::Shared()
{
    static TermiosSerialOps& instance = [] () -> TermiosSerialOps& {
        static TermiosSerialOps ops(RealTimeSource::Instance(), RealTimeThreadPriority::Instance());
        ops.Ports().SetOverrideSource(SettingsPortOverrides());
        return ops;
    }();
    return instance;
}

int TermiosSerialOps::OpenPort(int index)
{
    if (index < kMinPortIndex || index > kMaxPortIndex) {
        m_lastOpenError = OpenError{OpenError::BadIndex, {}, 0};
        m_diagnostics.Record(m_lastOpenError);
        return 0;
    }
    // A descriptor still open would keep its lock and leak: let it go first.
    ClosePort();
    m_portIndex = index;
    std::string device = m_ports.DeviceFor(index);
    if (!m_deviceOverride.empty())
        device = m_deviceOverrideIndex < 0 || m_deviceOverrideIndex == index ? m_deviceOverride : std::string();
    if (device.empty())
        m_lastOpenError = OpenError{OpenError::NoDevice, {}, ENOENT};
    const bool opened = !device.empty() && OpenDevicePath(device);
    m_diagnostics.Record(m_lastOpenError);
    return opened ? 1 : 0;
}

bool TermiosSerialOps::OpenDevicePath(const std::string& device)
{
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_lastOpenError = OpenError{KindOfErrno(errno), device, errno};
        return false;
    }
    bool exclusive = false;
    auto fail = [&](OpenError::Kind kind, int error) {
        if (exclusive)
            ReleaseDescriptor(fd);
        else
            ::close(fd); // another program's exclusive mode is not ours to clear
        m_lastOpenError = OpenError{kind, device, error};
        return false;
    };
    // flock is what keeps out a second program, root included.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail(errno == EWOULDBLOCK ? OpenError::InUse : KindOfErrno(errno), errno);
    // A device without terminal settings is not a serial port, whatever
    // its driver answers (ENOTTY for /dev/zero, EINVAL for /dev/urandom).
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return fail(errno == EIO ? OpenError::Other : OpenError::NotSerial, errno);
    // The exclusive mode keeps out programs that do not flock (a modem
    // prober, a terminal program) and goes with the last close of a real
    // port. A pseudo-terminal's far side (camera-emulator) keeps it open, so
    // the mode a killed run could not clear would lock every ordinary user
    // out for as long as the emulator runs; the flock is the lock there.
    if (!IsPseudoTerminal(fd)) {
        if (ioctl(fd, TIOCEXCL) != 0)
            return fail(KindOfErrno(errno), errno);
        exclusive = true;
    }
    MakeRaw(tio);
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail(KindOfErrno(errno), errno);
    m_fd = fd;
    m_unplugged = false;
    m_device = device;
    m_lastOpenError = OpenError{};
    TryLowLatency();
    // What the driver made of the request, as the user's adapter has it.
    m_diagnostics.latencyTimerMs = ReadLatencyTimer(device, m_roots);
    m_diagnostics.latencyDevice = m_diagnostics.latencyTimerMs >= 0 ? TtyName(device) : std::string();
    return true;
}

// The exclusive mode belongs to the terminal, not to the descriptor: left
// set, it outlives the close while anything else holds the terminal open
// (the far side of a pseudo-terminal, a getty), and every later open by a
// user other than root fails with EBUSY.
void TermiosSerialOps::ReleaseDescriptor(int fd)
{
    (void)ioctl(fd, TIOCNXCL);
    ::close(fd);
}

// USB-serial adapters hold received bytes for up to 16 ms by default; low
// latency mode hands them over at once. Refusal is harmless.
void TermiosSerialOps::TryLowLatency()
{
    serial_struct info{};
    if (ioctl(m_fd, TIOCGSERIAL, &info) != 0)
        return;
    if ((info.flags & ASYNC_LOW_LATENCY) != 0)
        return;
    info.flags |= ASYNC_LOW_LATENCY;
    (void)ioctl(m_fd, TIOCSSERIAL, &info);
}

int TermiosSerialOps::IsPortOpen()
{
    return m_fd >= 0 ? 1 : 0;
}

OpenDiagnostics TermiosSerialOps::GetOpenDiagnostics() const
{
    OpenDiagnostics d = m_diagnostics;
    d.unplugged = m_unplugged;
    d.unpluggedDevice = m_unplugged ? m_unpluggedDevice : std::string();
    return d;
}

// A device that has gone away (a USB adapter pulled out) is let go at once:
// the waits above end instead of polling a dead line, and the kernel can
// give the adapter its old name when it is plugged in again (a descriptor
// kept open makes it come back as the next ttyUSB).
void TermiosSerialOps::Unplugged()
{
    m_unplugged = true;
    m_unpluggedDevice = m_device;
    ::close(m_fd); // the terminal is gone, and its exclusive mode with it
    m_fd = -1;
}

// A driver that cannot run a speed refuses it, or (the 8250 family) applies
// another: either way the port is not at bps. The fastest speed it takes is
// noted for the message, and the port is put back at its old speed.
int TermiosSerialOps::SetBaudRate(int bps)
{
    if (m_fd < 0)
        return 0;
    if (ApplySpeed(bps)) {
        m_speed = bps;
        return 1;
    }
    speed_t constant{};
    if (!SpeedConstant(bps, &constant))
        return 0;
    const int limit = FastestSpeedBelow(
        bps, [](void* self, int speed) { return static_cast<TermiosSerialOps*>(self)->ApplySpeed(speed); }, this);
    if (limit > 0) // else nothing is taken: the port is broken, not slow
        m_diagnostics.RecordRefusedSpeed(m_portIndex, bps, limit);
    if (m_speed > 0)
        (void)ApplySpeed(m_speed);
    return 0;
}

bool TermiosSerialOps::ApplySpeed(int bps)
{
    if (m_fd < 0)
        return false;
    speed_t constant{};
    if (!SpeedConstant(bps, &constant))
        return false;
    termios tio{};
    if (tcgetattr(m_fd, &tio) != 0)
        return false;
    MakeRaw(tio);
    cfsetispeed(&tio, constant);
    cfsetospeed(&tio, constant);
    if (tcsetattr(m_fd, TCSANOW, &tio) != 0)
        return false;
    // tcsetattr succeeds when any part of the change applied: check it all.
    termios applied{};
    if (tcgetattr(m_fd, &applied) != 0)
        return false;
    return cfgetospeed(&applied) == constant && cfgetispeed(&applied) == constant && IsRaw8N1(applied);
}

int TermiosSerialOps::ClosePort()
{
    m_device.clear();
    if (m_fd < 0)
        return 1;
    ClearBuffers();
    ReleaseDescriptor(m_fd);
    m_fd = -1;
    return 1;
}

bool TermiosSerialOps::WriteChunk(const uint8_t* bytes, int count, uint32_t* written)
{
    *written = 0;
    if (m_fd < 0)
        return false;
    const uint64_t startUs = MonotonicUs();
    const uint64_t deadlineUs = startUs + 1000u * WriteTotalTimeoutMs(m_speed, count);
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, bytes + done, static_cast<size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return *written = static_cast<uint32_t>(done), false;
        const uint64_t now = MonotonicUs();
        if (now >= deadlineUs)
            break; // write time-out: a success with a short count
        pollfd p{m_fd, POLLOUT, 0};
        const int waitMs = static_cast<int>((deadlineUs - now + 999) / 1000);
        BeforeSleep(1000u * static_cast<uint64_t>(waitMs));
        if (poll(&p, 1, waitMs) < 0 && errno != EINTR)
            return *written = static_cast<uint32_t>(done), false;
        if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
            return *written = static_cast<uint32_t>(done), false;
    }
    // tcdrain() has no time limit (hardware flow control with CTS low holds
    // it for ever): wait for the driver's queue only until the deadline.
    const int unsent = DrainUntil(startUs, done, deadlineUs);
    if (unsent < 0)
        return *written = static_cast<uint32_t>(done), false;
    if (unsent > 0) {
        // Time-out: what is still queued must not reach the camera later.
        tcflush(m_fd, TCOFLUSH);
        done -= std::min(unsent, done);
    }
    *written = static_cast<uint32_t>(done);
    WaitWireTime(startUs, done);
    return true;
}

int TermiosSerialOps::QueuedOutput()
{
    int queued = 0;
    if (ioctl(m_fd, TIOCOUTQ, &queued) != 0)
        return errno == EIO ? -1 : 0;
    return queued < 0 ? 0 : queued;
}

// Waits until the driver has sent everything or the deadline has passed;
// the bytes still queued then (0 when all went), or -1 if the device is gone.
// A USB-serial driver counts the transfers still in flight to the adapter,
// so right after a write its queue is never empty: nothing can have left the
// line before its wire time, so that is waited first, and then the queue is
// looked at in short naps (a nap of a whole millisecond would cost every
// command and ACK, whose wire time is 43 to 520 us at 230400 bit/s, twice
// that and more).
int TermiosSerialOps::DrainUntil(uint64_t startUs, int count, uint64_t deadlineUs)
{
    int queued = QueuedOutput();
    if (queued <= 0)
        return queued;
    WaitWireTime(startUs, count);
    for (;;) {
        queued = QueuedOutput();
        if (queued <= 0)
            return queued;
        const uint64_t now = MonotonicUs();
        if (now >= deadlineUs)
            return queued;
        const uint64_t nap = std::min<uint64_t>(kDrainNapUs, deadlineUs - now);
        BeforeSleep(nap);
        SleepUntilUs(now + nap);
    }
}

// The driver's queue empties once the bytes sit in an adapter's buffer (on a
// pty at once); the caller expects them to have left the line.
void TermiosSerialOps::WaitWireTime(uint64_t startUs, int count)
{
    const uint64_t wire = WireTimeUs(m_speed, count);
    const uint64_t bound = 1000u * WriteTotalTimeoutMs(m_speed, count);
    const uint64_t deadline = startUs + std::min(wire, bound);
    // A sleep ends up to a tenth of a millisecond late, more than a short
    // packet's whole wire time: sleep until just before the end, then watch
    // the clock for the rest.
    constexpr uint64_t kSpinTailUs = 250;
    const uint64_t now = MonotonicUs();
    if (deadline > kSpinTailUs && now < deadline - kSpinTailUs) {
        BeforeSleep(deadline - kSpinTailUs - now);
        SleepUntilUs(deadline - kSpinTailUs);
    }
    while (MonotonicUs() < deadline) {
    }
}

int TermiosSerialOps::ReadPort(uint8_t* buffer, int count, uint32_t* read)
{
    uint32_t ignored = 0;
    if (read == nullptr)
        read = &ignored;
    *read = 0;
    if (m_fd < 0 || buffer == nullptr)
        return 0;
    if (count <= 0)
        return 1;
    const uint64_t start = MonotonicUs();
    uint64_t lastByte = start;
    int got = 0;
    while (got < count) {
        const uint64_t deadline = ReadDeadlineUs(m_speed, count, start, lastByte, got);
        const uint64_t now = MonotonicUs();
        if (now >= deadline)
            break;
        const uint64_t waitMs = (deadline - now + 999) / 1000;
        pollfd p{m_fd, POLLIN, 0};
        const int r = poll(&p, 1, static_cast<int>(waitMs));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return 0;
        }
        if (r == 0)
            break;
        if ((p.revents & POLLIN) != 0) {
            const ssize_t n = ::read(m_fd, buffer + got, static_cast<size_t>(count - got));
            if (n > 0) {
                got += static_cast<int>(n);
                lastByte = MonotonicUs();
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            // 0 bytes from a readable device, or EIO: the device is gone.
            Unplugged();
            *read = static_cast<uint32_t>(got);
            return 0;
        }
        if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            Unplugged();
            *read = static_cast<uint32_t>(got);
            return 0;
        }
    }
    *read = static_cast<uint32_t>(got);
    return 1;
}

int TermiosSerialOps::BytesInBuffer(uint32_t* count)
{
    if (count != nullptr)
        *count = 0;
    if (m_fd < 0)
        return 0;
    int waiting = 0;
    if (ioctl(m_fd, FIONREAD, &waiting) != 0)
        return 0;
    if (count != nullptr)
        *count = static_cast<uint32_t>(waiting < 0 ? 0 : waiting);
    return 1;
}

int TermiosSerialOps::ClearBuffers()
{
    if (!IsPortOpen())
        return 0;
    tcflush(m_fd, TCIFLUSH);
    // Every write has already waited out its wire time, so on a real port
    // nothing is left to send by now. On a pseudo-terminal the bytes still
    // sit in the kernel until the other side's reader runs, and the driver
    // counts them as sent: flushing there would throw away an ACK the camera
    // is owed. Only bytes the driver reports unsent are really unsent.
    if (QueuedOutput() > 0)
        tcflush(m_fd, TCOFLUSH);
    return 1;
}

} // namespace oskel
