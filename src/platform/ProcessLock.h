#pragma once

#include <string>
#include <string_view>

namespace oskel {

// The file that stands for a machine-wide lock name:
// $XDG_RUNTIME_DIR/<name>.lock, or /tmp/<name>-<uid>.lock when
// XDG_RUNTIME_DIR is unset, empty or relative.
std::string ProcessLockPath(std::string_view name);

// An exclusive advisory lock (flock) on one file, shared by every process
// that uses the same path. The kernel releases it when the holder closes
// the file or dies, however it dies, so a crash never locks others out.
// Two ProcessLock objects on one path conflict even inside one process.
class ProcessLock {
public:
    enum class Result {
        Acquired, // this object holds the lock now
        Held,     // another holder has it
        Failed,   // the lock file could not be opened or locked (errno in Error())
    };

    explicit ProcessLock(std::string path);
    ~ProcessLock();
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;

    // Never waits. Once acquired, the lock is kept until destruction;
    // a repeated call then returns Acquired again.
    Result TryAcquire();

    bool IsHeld() const { return m_fd >= 0; }
    int Error() const { return m_error; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
    int m_error = 0;
};

} // namespace oskel
