#include "terminal/CheckedOutput.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace oskel::cli {

CheckedOutput::~CheckedOutput()
{
    Close();
}

bool CheckedOutput::Open(const std::string& path)
{
    Close();
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    m_owned = m_fd >= 0;
    m_error = m_fd >= 0 ? 0 : errno;
    return m_fd >= 0;
}

bool CheckedOutput::Close()
{
    Flush();
    if (m_owned) {
        if (::close(m_fd) != 0 && m_error == 0)
            m_error = errno;
        m_owned = false;
        m_fd = -1;
    }
    return m_error == 0;
}

std::string CheckedOutput::Reason() const
{
    return std::strerror(m_error);
}

void CheckedOutput::WriteAll(const char* s, size_t n)
{
    if (m_fd < 0 && m_error == 0)
        m_error = EBADF;
    while (n > 0 && m_error == 0) {
        const ssize_t done = ::write(m_fd, s, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            m_error = done < 0 ? errno : EIO;
            break;
        }
        s += done;
        n -= static_cast<size_t>(done);
    }
}

bool CheckedOutput::Flush()
{
    if (pbase() != nullptr && pptr() > pbase())
        WriteAll(pbase(), static_cast<size_t>(pptr() - pbase()));
    setp(m_buffer, m_buffer + sizeof m_buffer);
    return m_error == 0;
}

int CheckedOutput::overflow(int c)
{
    Flush();
    if (c != traits_type::eof()) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        ++m_count;
    }
    return traits_type::not_eof(c);
}

// Accepts everything, even after a failure: the stream's state stays good,
// so the run ends as it would have, and the error is told at its end.
std::streamsize CheckedOutput::xsputn(const char* s, std::streamsize n)
{
    m_count += n;
    if (pbase() == nullptr)
        setp(m_buffer, m_buffer + sizeof m_buffer);
    if (n <= epptr() - pptr()) {
        std::memcpy(pptr(), s, static_cast<size_t>(n));
        pbump(static_cast<int>(n));
        return n;
    }
    Flush();
    WriteAll(s, static_cast<size_t>(n));
    return n;
}

int CheckedOutput::sync()
{
    Flush();
    return 0;
}

} // namespace oskel::cli
