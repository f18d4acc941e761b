#include "protocol/CameraComm.h"

#include "platform/LibraryLoader.h"
#include "platform/PlatformInfo.h"
#include "platform/RealTimeSource.h"
#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "protocol/ProtocolTimings.h"
#include "serial/TermiosSerialOps.h"
#include "ui/MessagePump.h"

#include <algorithm>

namespace oskel {
namespace {

uint8_t g_sendBuffer[kPacketBufferSize];
uint8_t g_receiveBuffer[kPacketBufferSize];

TimeSource& TimeOf(const CommEnvironment& e)
{
    return e.time != nullptr ? *e.time : RealTimeSource::Instance();
}

} // namespace

uint8_t* CCameraComm::SendBuffer() { return g_sendBuffer; }
uint8_t* CCameraComm::ReceiveBuffer() { return g_receiveBuffer; }

CCameraComm::CCameraComm() : CCameraComm(CommEnvironment{}) {}

CCameraComm::CCameraComm(const CommEnvironment& e) : m_time(TimeOf(e))
{
    m_pLoader = e.loader != nullptr ? e.loader : &DlLibraryLoader::Instance();
    PlatformInfo& platform = e.platform != nullptr ? *e.platform : LinuxPlatformInfo::Instance();
    SerialPortOps& native = e.nativeOps != nullptr ? *e.nativeOps : TermiosSerialOps::Shared();
    m_binding = ChooseSerialBinding(platform, *m_pLoader, native);
    m_pOps = m_binding.ops;
}

CCameraComm::CCameraComm(SerialPortOps& ops, TimeSource& time) : m_pOps(&ops), m_time(time)
{
    m_binding.ops = &ops;
}

CCameraComm::~CCameraComm()
{
    // Virtual calls from a destructor reach this class's own operations.
    if (IsOpen())
        Close();
    if (m_binding.library != nullptr) {
        m_binding.owned.reset();
        m_pLoader->Free(m_binding.library);
    }
}

// A long wait is taken in steps, and between them the windows are kept
// alive; it still ends on the tick counted from its start.
int CCameraComm::WaitMs(uint32_t ms)
{
    const uint32_t start = m_time.TickCount();
    for (;;) {
        const uint32_t waited = m_time.TickCount() - start;
        if (waited >= ms)
            return 1;
        if (waited != 0)
            ui::StillWaiting();
        m_time.WaitMs(std::min(ms - waited, kKeepAliveStepMs));
    }
}

int CCameraComm::InputEmpty()
{
    uint32_t count = 0;
    m_pOps->BytesInBuffer(&count);
    return count == 0 ? 1 : 0;
}

int CCameraComm::PurgeBuffers()
{
    m_pOps->ClearBuffers();
    return 1;
}

int CCameraComm::ReadControlByte(uint8_t* b)
{
    uint8_t ignored = 0;
    if (b == nullptr)
        b = &ignored;
    for (int i = 0; i < kControlByteReads; ++i) {
        uint8_t byte = 0;
        uint32_t read = 0;
        if (!m_pOps->ReadPort(&byte, 1, &read) || read == 0) {
            *b = 0;
            return 0;
        }
        if (IsControlByte(byte)) {
            *b = byte;
            return 1;
        }
    }
    *b = 0;
    return 0;
}

int CCameraComm::SendControlByte(uint8_t b)
{
    uint32_t written = 0;
    return m_pOps->WritePort(&b, 1, &written, -1) && written == 1 ? 1 : 0;
}

int CCameraComm::ReadExact(uint8_t* buffer, int count)
{
    uint32_t read = 0;
    return m_pOps->ReadPort(buffer, count, &read) && read == static_cast<uint32_t>(count) ? 1 : 0;
}

int CCameraComm::SetLocalSpeed(int bps)
{
    if (!m_pOps->SetBaudRate(bps))
        return 0;
    WaitMs(kAfterLocalSpeedMs);
    return 1;
}

} // namespace oskel
