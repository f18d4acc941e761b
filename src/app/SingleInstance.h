#pragma once

#include "platform/ProcessLock.h"

#include <string>

namespace oskel {

// The name every program of the family uses for the camera lock.
inline constexpr const char* kCameraMutexName = "OskelCameraMutex";

// The single-instance guard: only one program of the family on this machine
// drives the camera at a time. The lock is taken by Check and held until the
// guard is destroyed or the process ends (the system releases it then, also
// after a crash). There is no waiting: a second program is simply refused.
class CSingleInstance {
public:
    explicit CSingleInstance(const std::string& name = kCameraMutexName);

    // True when this process may use the camera. False when another process
    // (or another guard of this one) holds the lock, and also when the lock
    // could not be taken at all (FailedToLock() tells that case apart).
    bool Check();

    bool FailedToLock() const { return m_failed; }
    const std::string& Name() const { return m_name; }
    const ProcessLock& Lock() const { return m_lock; }

private:
    std::string m_name;
    ProcessLock m_lock;
    bool m_failed = false;
};

} // namespace oskel
