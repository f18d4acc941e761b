// Operations that take long inside the camera: readiness polling, the
// end-of-operation handshake (ENQ), program upload and deletion, the system
// data upload and the free-memory query.
#include "protocol/CameraComm.h"

#include "protocol/CameraNumbers.h"
#include "protocol/CommandTimings.h"
#include "protocol/ControlBytes.h"
#include "ui/MessagePump.h"

namespace oskel {

int CCameraComm::IsReady()
{
    if (m_bActionPending) {
        uint8_t b = 0;
        if (!ReadControlByte(&b) || b != kENQ)
            return 0;
        m_bActionPending = 0;
    }
    int32_t ready = 0;
    return GetRegister(reg::kReady, &ready) && ready != 0 ? 1 : 0;
}

int CCameraComm::WaitReady(int timeoutMs)
{
    if (timeoutMs <= 0)
        return IsReady();
    const uint32_t limit = static_cast<uint32_t>(timeoutMs);
    const uint32_t start = m_time.TickCount();
    for (;;) {
        if (IsReady())
            return 1;
        // A closed port fails every read at once: nothing more can come.
        if (!IsOpen() || m_time.TickCount() - start > limit)
            return 0;
        ui::StillWaiting();
    }
}

int CCameraComm::WaitForEnq(uint32_t timeoutMs)
{
    const uint32_t start = m_time.TickCount();
    uint8_t b = 0;
    while (!ReadControlByte(&b)) {
        // A closed port fails every read at once: nothing more can come.
        if (!IsOpen() || m_time.TickCount() - start > timeoutMs)
            break;
        ui::StillWaiting();
    }
    m_bActionPending = 0;
    if (b != kENQ)
        return 0;
    WaitReady(static_cast<int>(kReadyAfterEnqTimeoutMs));
    return 1;
}

namespace {

// Holds the long-transfer flag for the whole of an upload, also on every
// way out.
class LongTransferFlag {
public:
    explicit LongTransferFlag(int& flag) : m_flag(flag) { m_flag = 1; }
    ~LongTransferFlag() { m_flag = 0; }
    LongTransferFlag(const LongTransferFlag&) = delete;
    LongTransferFlag& operator=(const LongTransferFlag&) = delete;

private:
    int& m_flag;
};

} // namespace

// After the data of an upload: the pause, action 11 and the pause after it.
int CCameraComm::InstallTransferred()
{
    WaitMs(kUploadSettleMs);
    if (!DoAction(action::kInstall, 0))
        return 0;
    WaitMs(kAfterUploadActionMs);
    return 1;
}

int CCameraComm::UploadProgram(const char* cameraName, ITransferSource* source)
{
    if (cameraName == nullptr || source == nullptr)
        return 0;
    PurgeBuffers();
    LongTransferFlag longTransfer(m_bLongTransfer);
    if (!SendObject(kind::kProgram, source, kCameraNameSize, reinterpret_cast<const uint8_t*>(cameraName)))
        return 0;
    if (!InstallTransferred())
        return 0;
    WaitForEnq(kUploadEnqTimeoutMs);
    return 1;
}

int CCameraComm::UploadSystemData(ITransferSource* source, int flag)
{
    if (source == nullptr)
        return 0;
    PurgeBuffers();
    LongTransferFlag longTransfer(m_bLongTransfer);
    const int32_t value = flag ? m_systemData.whenFlagSet : m_systemData.whenFlagClear;
    if (!SetRegister(reg::kSystemData, value))
        return 0;
    WaitMs(kAfterSystemRegisterMs);
    if (!SendObject(kind::kSystemData, source, 0, nullptr))
        return 0;
    if (!InstallTransferred())
        return 0;
    if (flag)
        WaitForEnq(kUploadEnqTimeoutMs);
    else
        WaitMs(kSystemDataFixedWaitMs);
    return 1;
}

int CCameraComm::DeleteProgram(int index)
{
    if (!SetRegister(reg::kProgramSelect, index))
        return 0;
    if (!DoAction(action::kDeleteProgram, 0))
        return 0;
    WaitMs(kAfterDeleteActionMs);
    return WaitForEnq(kDeleteEnqTimeoutMs);
}

int CCameraComm::GetFreeMemory(int flag)
{
    if (flag)
        return ReadRegisterOr(reg::kFreeMemory, -1);
    if (!SetRegister(reg::kFreeMemoryLatch, 1))
        return -1;
    int32_t value = 0;
    const bool read = GetRegister(reg::kFreeMemory, &value) != 0;
    if (!SetRegister(reg::kFreeMemoryLatch, 0) && !SetRegister(reg::kFreeMemoryLatch, 0))
        WaitMs(kFreeMemoryRecoveryMs);
    return read ? value : -1;
}

} // namespace oskel
