#pragma once

#include "platform/LibraryLoader.h"
#include "platform/TimeSource.h"
#include "protocol/TransferInterfaces.h"
#include "serial/SerialBinding.h"
#include "serial/SerialPortOps.h"

#include <cstdint>

namespace oskel {

class PlatformInfo;

// What a camera communication object is built on. Null members take the
// process-wide real ones (termios port, monotonic clock, Linux platform,
// dlopen loader).
struct CommEnvironment {
    TimeSource* time = nullptr;
    SerialPortOps* nativeOps = nullptr;
    PlatformInfo* platform = nullptr;
    LibraryLoader* loader = nullptr;
};

// The camera communication object: packet framing, acknowledgement and
// retry, the link handshake and speed change, and the camera's operations.
// The virtual operations keep a fixed slot order (slot 0 is the destructor).
// Everything runs on the caller's thread and blocks it.
class CCameraComm {
public:
    CCameraComm();
    explicit CCameraComm(const CommEnvironment& environment);
    // Uses `ops` as the serial table directly (no binding choice).
    CCameraComm(SerialPortOps& ops, TimeSource& time);
    CCameraComm(const CCameraComm&) = delete;
    CCameraComm& operator=(const CCameraComm&) = delete;

    // Slots 0 to 10: the link.
    virtual ~CCameraComm();
    virtual int Open();
    virtual int Close();
    virtual int Resync(int force);
    virtual int IsOpen();
    virtual int FindPort(int first, int limit);
    virtual int FindPortDefault();
    virtual int SetPort(int index);
    virtual int GetPort();
    virtual int SetSpeed(int bps);
    virtual int GetSpeed();

    // Resync results.
    static constexpr int kResyncOk = 0;
    static constexpr int kResyncNoPort = -1;
    static constexpr int kResyncLocalSpeed = -2;
    static constexpr int kResyncProbeSpeed = -3;
    static constexpr int kResyncNoProbeAnswer = -4;
    static constexpr int kResyncSpeedRefused = -5;

    // Internal operations of the packet layer. Not virtual.
    int WaitMs(uint32_t ms);
    int InputEmpty();
    int PurgeBuffers();
    int ReadControlByte(uint8_t* b);
    int SendControlByte(uint8_t b);
    // Writes a complete packet; returns the camera's answer byte, 0 if none.
    int SendPacket(const uint8_t* packet, int length);
    int SetLocalSpeed(int bps);

    // The seven exchanges.
    int SetRegister(uint8_t reg, int32_t value);
    int GetRegister(uint8_t reg, int32_t* value);
    int SetRegisterBytes(uint8_t reg, const uint8_t* bytes, int n);
    int DoAction(uint8_t code, uint8_t argument);
    int ReadObjectToBuffer(uint8_t kind, uint8_t* buffer, int capacity, int* received);
    int ReadObjectToSink(uint8_t kind, ITransferSink* sink);
    int SendObject(uint8_t kind, ITransferSource* source, int prefixLength, const uint8_t* prefix);

    // State, for the layers above and for tests.
    int DirtyMark() const { return m_nDirtyMark; }
    int PacingMode() const { return m_nPacing; }
    bool LongTransfer() const { return m_bLongTransfer != 0; }
    bool ActionPending() const { return m_bActionPending != 0; }
    SerialPortOps& Ops() { return *m_pOps; }
    TimeSource& Time() { return m_time; }
    LibraryLoader::Handle LibraryHandle() const { return m_binding.library; }

    // The process-wide packet buffers.
    static uint8_t* SendBuffer();
    static uint8_t* ReceiveBuffer();

protected:
    int ReadExact(uint8_t* buffer, int count);
    void StepPacing();
    int ReadDataPacketInto(uint8_t* data, int room, int* length, bool* tooLong);

    int m_nDirtyMark = 0;
    int16_t m_nPort = -1;
    int m_nSpeed = 19200;
    int m_bLongTransfer = 0;
    int m_bActionPending = 0;
    int m_nPacing = -1;
    SerialBinding m_binding;
    SerialPortOps* m_pOps = nullptr;
    TimeSource& m_time;
    LibraryLoader* m_pLoader = nullptr;
};

} // namespace oskel
