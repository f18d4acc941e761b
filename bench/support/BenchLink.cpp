#include "BenchLink.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace oskel::bench {

BenchLink::BenchLink(const std::string& device)
    : m_port(RealTimeSource::Instance(), NiceThreadPriority::Instance()),
      m_line(m_port, m_log),
      m_time(RealTimeSource::Instance(), m_line, m_log),
      m_comm(m_line, m_time)
{
    m_port.SetDeviceOverride(device);
}

bool BenchLink::Open(int bps)
{
    StopRecording();
    m_comm.SetPort(0);
    return m_comm.SetSpeed(bps) && m_comm.Open();
}

void BenchLink::StartRecording()
{
    m_log.clear();
    m_log.reserve(4096);
    m_line.SetRecording(true);
    m_time.SetRecording(true);
}

void BenchLink::StopRecording()
{
    m_line.SetRecording(false);
    m_time.SetRecording(false);
}

FileSource::~FileSource()
{
    End();
}

int FileSource::Begin()
{
    End();
    m_fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    return m_fd >= 0 ? 1 : 0;
}

int FileSource::Read(uint8_t* destination, int maximum, int* status)
{
    int got = 0;
    while (got < maximum) {
        const ssize_t n = ::read(m_fd, destination + got, static_cast<size_t>(maximum - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *status = -1;
            return 0;
        }
        if (n == 0)
            break;
        got += static_cast<int>(n);
    }
    *status = got < maximum ? 1 : 0;
    return got;
}

int FileSource::End()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    return 1;
}

} // namespace oskel::bench
