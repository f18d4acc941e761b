#include "platform/ProcessLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace oskel {

std::string ProcessLockPath(std::string_view name)
{
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir != nullptr && runtimeDir[0] == '/') {
        std::string path = runtimeDir;
        if (path.back() != '/') {
            path += '/';
        }
        return path + std::string(name) + ".lock";
    }
    // /tmp is shared by every user: the user id in the name keeps one user's
    // lock file from standing in another's way.
    return "/tmp/" + std::string(name) + "-" + std::to_string(getuid()) + ".lock";
}

ProcessLock::ProcessLock(std::string path)
    : m_path(std::move(path))
{
}

ProcessLock::~ProcessLock()
{
    if (m_fd >= 0) {
        close(m_fd); // releases the lock; the file stays for the next holder
    }
}

ProcessLock::Result ProcessLock::TryAcquire()
{
    if (m_fd >= 0) {
        return Result::Acquired;
    }
    // Not inherited by child processes, and never through a symbolic link.
    int fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_error = errno;
        return Result::Failed;
    }
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        m_error = errno;
        close(fd);
        return m_error == EWOULDBLOCK ? Result::Held : Result::Failed;
    }
    m_fd = fd;
    m_error = 0;
    return Result::Acquired;
}

} // namespace oskel
