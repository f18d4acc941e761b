#pragma once

#include "camera/CameraConnection.h"

#include <memory>

namespace oskel {

// Hands out the one camera connection. Acquire connects (asking the user
// for a port and speed while the camera cannot be reached) or checks that
// the open link still answers; a nested Acquire, arriving through a dialog's
// message loop, returns null.
class CCameraHolder {
public:
    explicit CCameraHolder(ProfileFile& settings, const CommEnvironment& environment = {});
    explicit CCameraHolder(std::unique_ptr<CCameraConnection> connection);
    // Closes the link, then deletes the connection, which writes the settings.
    virtual ~CCameraHolder();
    CCameraHolder(const CCameraHolder&) = delete;
    CCameraHolder& operator=(const CCameraHolder&) = delete;

    CCameraConnection* Acquire();
    void Release();

    CCameraConnection& Connection() { return *m_pConnection; }
    bool InUse() const { return m_bInUse; }

private:
    bool InteractiveConnect();

    std::unique_ptr<CCameraConnection> m_pConnection;
    bool m_bInUse = false;
    int m_nBusy = 0;
};

// Acquires the camera for a caller and releases it again at once, as every
// caller in this program does: the in-use flag is held only while Acquire
// connects, never across the caller's own work, so an About during an
// upload still probes the camera. The connection pointer stays valid (the
// holder owns the one connection) and is null when Acquire failed.
class CameraLease {
public:
    explicit CameraLease(CCameraHolder& holder) : m_pConnection(holder.Acquire())
    {
        if (m_pConnection != nullptr)
            holder.Release();
    }
    CameraLease(const CameraLease&) = delete;
    CameraLease& operator=(const CameraLease&) = delete;

    CCameraConnection* get() const { return m_pConnection; }
    explicit operator bool() const { return m_pConnection != nullptr; }

private:
    CCameraConnection* m_pConnection;
};

} // namespace oskel
