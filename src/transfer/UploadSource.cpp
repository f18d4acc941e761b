#include "transfer/UploadSource.h"

#include "transfer/ProgressSink.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace oskel {

namespace {
constexpr int kStatusUnreadable = 3;
constexpr int kStatusCloseFailed = 7;
} // namespace

UploadSource::UploadSource(std::string path, CProgressSink* sink) : m_strPath(std::move(path)), m_pSink(sink) {}

UploadSource::~UploadSource()
{
    if (m_fd >= 0)
        close(m_fd);
}

void UploadSource::Fail(int status)
{
    if (m_status == 0)
        m_status = status;
}

int UploadSource::Begin()
{
    m_doneBytes = 0;
    if (m_pSink != nullptr) {
        if (const int result = m_pSink->Begin(); result != 0)
            Fail(result);
        m_pSink->Transferred(0, m_totalBytes);
    }
    if (m_status == 0 && m_fd < 0) {
        m_fd = open(m_strPath.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (m_fd < 0)
            Fail(kStatusUnreadable);
        else if (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != m_totalBytes)
            Fail(kStatusUnreadable);
    }
    return m_status == 0 ? 1 : 0;
}

int UploadSource::Percent() const
{
    if (m_totalBytes <= 0)
        return 0;
    const int64_t total = m_totalBytes;
    return static_cast<int>((int64_t{100} * m_doneBytes + total / 2) / total);
}

long UploadSource::ReadUpTo(uint8_t* destination, int maximum)
{
    long done = 0;
    while (done < maximum) {
        const ssize_t n = read(m_fd, destination + done, static_cast<size_t>(maximum - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

int UploadSource::Read(uint8_t* destination, int maximum, int* status)
{
    *status = 0;
    if (m_status != 0 || m_fd < 0 || destination == nullptr || maximum < 0) {
        Fail(kStatusUnreadable);
        *status = -1;
        return 0;
    }
    const long count = ReadUpTo(destination, maximum);
    const bool ended = count < maximum;
    // A read error, or a file whose length is no longer the scanned one.
    if (count < 0 || m_doneBytes + count > m_totalBytes || (ended && m_doneBytes + count != m_totalBytes)) {
        Fail(kStatusUnreadable);
        *status = -1;
        return 0;
    }
    m_doneBytes += static_cast<int>(count);
    if (m_pSink != nullptr) {
        if (const int result = m_pSink->Step(Percent()); result != 0) {
            Fail(result);
            *status = -1;
            return 0;
        }
    }
    if (count == 0 || ended)
        *status = 1;
    return static_cast<int>(count);
}

void UploadSource::Acknowledged()
{
    if (m_pSink != nullptr)
        m_pSink->Transferred(m_doneBytes, m_totalBytes);
}

int UploadSource::End()
{
    if (m_pSink != nullptr)
        m_pSink->End();
    if (m_fd >= 0) {
        if (close(m_fd) != 0)
            Fail(kStatusCloseFailed);
        m_fd = -1;
    }
    return 1;
}

} // namespace oskel
