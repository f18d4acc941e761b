#pragma once

#include "platform/LibraryLoader.h"
#include "platform/TimeSource.h"
#include "protocol/ProgramInfoRecord.h"
#include "protocol/TransferInterfaces.h"
#include "serial/SerialBinding.h"
#include "serial/SerialPortOps.h"

#include <cstdint>

namespace oskel {

class PlatformInfo;

// The two values UploadSystemData writes to reg 32 before the system data,
// one for each state of its flag. The camera's meaning of them is its own;
// a caller may set them from its configuration. Defaults: 1 when the flag
// is set, 0 when it is clear.
struct SystemDataValues {
    int32_t whenFlagSet = 1;
    int32_t whenFlagClear = 0;
};

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

    // Slots 11 to 71: the camera's operations. Text getters take a buffer of
    // the stated size and return true/false, not the byte count; texts are
    // raw bytes, so a caller that wants a string leaves room for a NUL.
    // Item operations select the item through reg 4 first. Register getters
    // return the value or the failure value in brackets.
    virtual int SetCameraId(const char* text);              // 11: at most 32 bytes
    virtual int GetCameraId(char* buffer32);                // 12
    virtual int GetCameraVersion(char* buffer32);           // 13
    virtual int GetModelText(char* buffer64);               // 14
    virtual int GetText25(char* buffer32);                  // 15
    virtual int ReadItem14ToSink(int item, ITransferSink* sink);               // 16
    virtual int ReadItem14ToBuffer(int item, uint8_t* buffer, int capacity);   // 17: bytes (0)
    virtual int GetItemReg12(int item);                                        // 18: (0)
    virtual int ReadItem15ToSink(int item, ITransferSink* sink);               // 19
    virtual int ReadItem15ToBuffer(int item, uint8_t* buffer, int capacity);   // 20: bytes (0)
    virtual int GetItemReg13(int item);                                        // 21: (0)
    virtual int ReadItem44ToSink(int item, ITransferSink* sink);               // 22
    virtual int GetItemInfoValue3(int item);                                   // 23: (0)
    // 24: the numbers at offsets 0, 4, 8 and 16 of the item's 32-byte info
    // object. On failure the given outputs receive 0, 0, 0 and 255.
    virtual int GetItemInfo(int item, int32_t* value1, int32_t* value2, int32_t* value3, int32_t* value4);
    virtual int GetItemReg39(int item);     // 25: (255)
    virtual int GetReg1();                  // 26: (255) liveness
    virtual int SetReg1(int value);         // 27
    virtual int GetReg7();                  // 28: (255)
    virtual int SetReg7(int value);         // 29
    virtual int SetReg3(int value);         // 30: only 0 or 100..125000
    virtual int GetReg3();                  // 31: (0)
    virtual int GetReg33();                 // 32: (255)
    virtual int SetReg33(int value);        // 33
    virtual int GetReg6();                  // 34: (255)
    virtual int SetReg6(int value);         // 35
    virtual int NoOp();                     // 36: true
    virtual int GetReg16();                 // 37: (-1) battery level
    // 38: reg 10 (-1). Clamps the dirty mark to 0..count and gives it in
    // *dirtyMark (-1 on failure).
    virtual int GetItemCount(int* dirtyMark);
    virtual int GetReg11();                 // 39: (-1)
    // 40: free memory in bytes (-1); unless flag is set, reg 51 brackets the
    // read (1 before, 0 after).
    virtual int GetFreeMemory(int flag);
    virtual int SetReg23(int value);        // 41: only 1..600
    virtual int GetReg23(int32_t* value);   // 42
    virtual int SetReg24(int value);        // 43: only 1..600
    virtual int GetReg24(int32_t* value);   // 44
    virtual int SetReg30(int value);        // 45
    virtual int GetReg2(int32_t* value);    // 46
    virtual int SetReg2(int value);         // 47
    virtual int GetReg65();                 // 48: (-1); above 3 reads as 4
    virtual int SetReg35(int value);        // 49: only 1..7
    virtual int GetReg35();                 // 50: (0)
    virtual int SetReg36(int value);        // 51: only 1..7
    virtual int GetReg36();                 // 52: (0)
    virtual int SetText37(const char* text); // 53: at most 256 bytes
    virtual int GetText37(char* buffer256); // 54
    virtual int SetReg38(int value);        // 55: only 1..600
    virtual int GetReg38(int32_t* value);   // 56
    virtual int SetReg54(int value);        // 57: only 1..600
    virtual int GetReg54(int32_t* value);   // 58
    virtual int WaitReady(int timeoutMs);   // 59: polls IsReady; 0 polls once
    virtual int Action0();                  // 60: lowers the dirty mark to count - 1
    virtual int Action1();                  // 61: the dirty mark becomes 0
    virtual int ActionItem7(int item);      // 62: lowers the dirty mark to item - 1
    virtual int ActionItem9(int item, int argument); // 63
    virtual int Action2();                  // 64
    virtual int Action5();                  // 65
    virtual int Action4();                  // 66
    // 67: reg 32 (from SystemDataValues by flag), kind 29, action 11.
    virtual int UploadSystemData(ITransferSource* source, int flag);
    virtual int GetProgramCount();          // 68: (-1)
    // 69: the directory record of the program at `index`, decoded.
    virtual int ReadProgramInfo(int index, ProgramInfoRecord* record);
    // 70: deletes the program at `index`; false when the camera never
    // signals the end of the deletion.
    virtual int DeleteProgram(int index);
    // 71: sends a whole program file under its 12-byte camera name. True
    // once action 11 is acknowledged, whether or not ENQ follows.
    virtual int UploadProgram(const char* cameraName, ITransferSource* source);

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

    // Long-operation helpers of the command set. Not virtual.
    int IsReady();
    int WaitForEnq(uint32_t timeoutMs);

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
    void SetSystemDataValues(const SystemDataValues& values) { m_systemData = values; }

    // The process-wide packet buffers.
    static uint8_t* SendBuffer();
    static uint8_t* ReceiveBuffer();

protected:
    int ReadExact(uint8_t* buffer, int count);
    void StepPacing();
    int InstallTransferred();
    int ReadDataHeader(int* length);
    int ReadDataBody(uint8_t* data, int length);
    int ReadNextPacketType(int* type, ITransferSink* sink);
    int RejectDataPacket(int* errors, int* type, ITransferSink* sink);
    int SelectItem(int item);
    int ReadRegisterOr(uint8_t reg, int failureValue);
    int ReadRegisterInto(uint8_t reg, int32_t* out);
    int SetTextRegister(uint8_t reg, const char* text, int cap);
    int ReadText(uint8_t reg, char* buffer, int size);
    int ReadItemToSink(int item, uint8_t kind, ITransferSink* sink);
    int ReadItemToBuffer(int item, uint8_t kind, uint8_t* buffer, int capacity);
    void LowerDirtyMark(int value);

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
    SystemDataValues m_systemData;
};

} // namespace oskel
