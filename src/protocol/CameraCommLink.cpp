// The link: open, the probe-and-switch handshake, speed change and close.
#include "protocol/CameraComm.h"

#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "protocol/ProtocolTimings.h"
#include "protocol/SpeedCodes.h"
#include "ui/MessagePump.h"

namespace oskel {

int CCameraComm::Open()
{
    if (!m_pOps->OpenPort(m_nPort))
        return 0;
    const int r = Resync(1);
    if (r == kResyncOk)
        return 1;
    if (r == kResyncLocalSpeed || r == kResyncProbeSpeed) {
        m_pOps->ClosePort();
    } else if (r == kResyncNoProbeAnswer || r == kResyncSpeedRefused) {
        PurgeBuffers();
        m_pOps->ClosePort();
    }
    return 0;
}

int CCameraComm::Close()
{
    if (!m_pOps->IsPortOpen())
        return 1;
    if (InputEmpty()) {
        const int length = BuildSpeedPacket(SendBuffer(), kCloseSpeedCode);
        SendPacket(SendBuffer(), length);
    }
    PurgeBuffers();
    m_pOps->ClosePort();
    return 1;
}

int CCameraComm::Resync(int force)
{
    if (!IsOpen())
        return kResyncNoPort;
    if (!force && InputEmpty())
        return kResyncOk;
    m_bActionPending = 0;
    if (!SetLocalSpeed(m_nSpeed))
        return kResyncLocalSpeed;
    if (m_nSpeed != kProbeSpeed && !SetLocalSpeed(kProbeSpeed))
        return kResyncProbeSpeed;
    PurgeBuffers();
    const uint8_t probe = kProbe;
    uint32_t written = 0;
    m_pOps->WritePort(&probe, 1, &written, -1);
    m_pOps->DelayCalibrate(static_cast<int>(kProbePauseMs));

    bool answered = false;
    const uint32_t start = m_time.TickCount();
    while (m_time.TickCount() - start < kProbeAnswerWindowMs) {
        uint8_t b = 0;
        if (ReadControlByte(&b)) {
            answered = b == kNAK;
            break;
        }
        // A port gone meanwhile fails every read at once: no answer can come.
        if (!IsOpen())
            break;
        ui::StillWaiting();
    }
    if (!answered)
        return kResyncNoProbeAnswer;
    PurgeBuffers();
    if (!SetSpeed(m_nSpeed))
        return kResyncSpeedRefused;
    return kResyncOk;
}

int CCameraComm::IsOpen()
{
    return m_pOps->IsPortOpen();
}

int CCameraComm::FindPort(int first, int limit)
{
    if (IsOpen())
        Close();
    for (int index = first; index < limit; ++index) {
        SetPort(index);
        if (Open())
            return 1;
        m_pOps->ClosePort();
    }
    m_nPort = -1;
    return 0;
}

int CCameraComm::FindPortDefault()
{
    return FindPort(0, 4);
}

int CCameraComm::SetPort(int index)
{
    if (IsOpen())
        return 0;
    m_nPort = static_cast<int16_t>(index);
    return 1;
}

int CCameraComm::GetPort()
{
    return m_nPort;
}

int CCameraComm::SetSpeed(int bps)
{
    const int code = SpeedCode(bps);
    if (code < 0)
        return 0;
    if (!IsOpen() || !InputEmpty()) {
        m_nSpeed = bps;
        return 1;
    }
    m_nSpeed = bps;
    // Built apart from the shared send buffer: a speed change inside a
    // resend must not overwrite the packet being resent.
    uint8_t packet[kSpeedPacketSize];
    const int length = BuildSpeedPacket(packet, static_cast<uint8_t>(code));
    uint32_t written = 0;
    m_pOps->WritePort(packet, length, &written, m_nPacing);
    uint8_t answer = 0;
    if (!ReadControlByte(&answer) || answer != kACK)
        return 0;
    return SetLocalSpeed(bps);
}

int CCameraComm::GetSpeed()
{
    return m_nSpeed;
}

} // namespace oskel
