#include "LineReplay.h"

#include "RecordingSerialOps.h"
#include "protocol/ControlBytes.h"
#include "serial/PacedSerialOps.h"
#include "serial/SerialTimeouts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace oskel::bench {
namespace {

speed_t SpeedOf(int bps)
{
    switch (bps) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        return B9600;
    }
}

// Sleeps until 0.25 ms before the moment, then watches the clock: the
// program's own way of waiting out a wire time.
void WaitUntilUs(uint64_t deadline)
{
    constexpr uint64_t kTailUs = 250;
    if (deadline > kTailUs && NowUs() + kTailUs < deadline) {
        const uint64_t wake = deadline - kTailUs;
        timespec ts{static_cast<time_t>(wake / 1000000u), static_cast<long>((wake % 1000000u) * 1000u)};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
        }
    }
    while (NowUs() < deadline) {
    }
}

class Replayer {
public:
    explicit Replayer(std::string device) : m_device(std::move(device)) {}
    ~Replayer()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Replayer(const Replayer&) = delete;
    Replayer& operator=(const Replayer&) = delete;

    bool Play(const LineEvent& e);
    const std::string& Error() const { return m_error; }
    // Until the camera is ready: readyDelayMs after the last ENQ came.
    void WaitUntilReady(uint32_t readyDelayMs) const
    {
        if (m_enqUs > 0)
            WaitUntilUs(m_enqUs + 1000u * static_cast<uint64_t>(readyDelayMs));
    }

private:
    bool Open(int bps);
    bool SetSpeed(int bps);
    bool WritePiece(const uint8_t* bytes, int count);
    bool Write(const LineEvent& e);
    bool Read(const LineEvent& e);
    bool Fail(const std::string& what)
    {
        m_error = what;
        return false;
    }

    std::string m_device;
    int m_fd = -1;
    int m_bps = 9600;
    uint64_t m_enqUs = 0;
    std::string m_error;
};

bool Replayer::Open(int bps)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = ::open(m_device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return Fail("cannot open " + m_device + ": " + std::strerror(errno));
    return SetSpeed(bps > 0 ? bps : 9600);
}

bool Replayer::SetSpeed(int bps)
{
    termios tio{};
    if (tcgetattr(m_fd, &tio) != 0)
        return Fail(std::string("tcgetattr: ") + std::strerror(errno));
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, SpeedOf(bps));
    cfsetospeed(&tio, SpeedOf(bps));
    if (tcsetattr(m_fd, TCSANOW, &tio) != 0)
        return Fail(std::string("tcsetattr: ") + std::strerror(errno));
    m_bps = bps;
    return true;
}

bool Replayer::WritePiece(const uint8_t* bytes, int count)
{
    const uint64_t start = NowUs();
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, bytes + done, static_cast<size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{m_fd, POLLOUT, 0};
            poll(&p, 1, 100);
        } else if (n < 0 && errno != EINTR) {
            return Fail(std::string("write: ") + std::strerror(errno));
        }
    }
    WaitUntilUs(start + WireTimeUs(m_bps, count));
    return true;
}

// The pieces and pauses of PacedSerialOps::WritePort.
bool Replayer::Write(const LineEvent& e)
{
    const uint8_t* bytes = e.data.data();
    const int count = static_cast<int>(e.data.size());
    if (e.pacing >= 0) {
        for (int i = 0; i < count; ++i) {
            if (e.pacing > 0)
                WaitUntilUs(NowUs() + 2000u * static_cast<uint64_t>(e.pacing));
            if (!WritePiece(bytes + i, 1))
                return false;
        }
        return true;
    }
    if (count < PacedSerialOps::kSplitThreshold)
        return WritePiece(bytes, count);
    const int pieces[3] = {1, 3, count - 4};
    int offset = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            WaitUntilUs(NowUs() + 1000u);
        if (!WritePiece(bytes + offset, pieces[i]))
            return false;
        offset += pieces[i];
    }
    return true;
}

// Waits for as many bytes as the program got, then, if the program's read
// ran into its time-out, for that time-out as well. An answer the program
// got just before its time-out may come just after it here (the ENQ after
// an upload can fall on that edge): it is waited for a little longer, as the
// program's next read would have taken it.
bool Replayer::Read(const LineEvent& e)
{
    constexpr uint64_t kLateAnswerUs = 100000;
    std::vector<uint8_t> got(static_cast<size_t>(std::max(e.count, 1)));
    const uint64_t start = NowUs();
    uint64_t lastByte = start;
    int n = 0;
    while (n < e.moved) {
        const uint64_t deadline = ReadDeadlineUs(m_bps, e.count, start, lastByte, n) + kLateAnswerUs;
        const uint64_t now = NowUs();
        if (now >= deadline)
            break;
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>((deadline - now + 999) / 1000)) <= 0)
            continue;
        const ssize_t r = ::read(m_fd, got.data() + n, static_cast<size_t>(e.moved - n));
        if (r > 0) {
            n += static_cast<int>(r);
            lastByte = NowUs();
        }
    }
    // Values read from the camera may differ (a readiness poll a little
    // earlier or later); the length and a lone control byte may not.
    if (n != e.moved || (n == 1 && got[0] != e.head[0]))
        return Fail("the camera's answer differs from the recorded one (" + std::to_string(n) + " of " +
                    std::to_string(e.moved) + " bytes)");
    if (n == 1 && got[0] == kENQ)
        m_enqUs = lastByte;
    if (e.moved < e.count)
        WaitUntilUs(ReadDeadlineUs(m_bps, e.count, start, lastByte, n));
    return true;
}

bool Replayer::Play(const LineEvent& e)
{
    switch (e.kind) {
    case LineEvent::Kind::Open:
        return Open(e.bps);
    case LineEvent::Kind::Close:
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return true;
    case LineEvent::Kind::Speed:
        return SetSpeed(e.bps);
    case LineEvent::Kind::Purge:
        tcflush(m_fd, TCIOFLUSH);
        return true;
    case LineEvent::Kind::Query: {
        int waiting = 0;
        ioctl(m_fd, FIONREAD, &waiting);
        return true;
    }
    case LineEvent::Kind::Write:
        return Write(e);
    case LineEvent::Kind::Read:
        return Read(e);
    case LineEvent::Kind::Wait: {
        // As the model has it: a wait begun part-way through a tick lasts
        // that part less.
        const uint64_t now = NowUs();
        WaitUntilUs(now + 1000u * e.value - now % 1000u);
        return true;
    }
    case LineEvent::Kind::Calibrate:
        WaitUntilUs(NowUs() + 1000u * e.value);
        return true;
    }
    return true;
}

} // namespace

ReplayResult ReplayLine(const std::string& device, const LineLog& journal, size_t from, size_t to,
                        const CameraTiming& camera)
{
    ReplayResult result;
    Replayer replayer(device);
    const std::vector<bool> ready = ReadyPolls(journal);
    uint64_t startUs = NowUs();
    to = std::min(to, journal.size());
    for (size_t i = 0; i < to; ++i) {
        if (i == from)
            startUs = NowUs();
        if (ready[i])
            replayer.WaitUntilReady(camera.readyDelayMs);
        if (!replayer.Play(journal[i])) {
            result.error = "step " + std::to_string(i + 1) + ": " + replayer.Error();
            return result;
        }
    }
    result.measuredMs = static_cast<double>(NowUs() - startUs) / 1000.0;
    result.ok = true;
    return result;
}

} // namespace oskel::bench
