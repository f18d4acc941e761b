// The camera's short operations (slots 11 to 66 and the program directory
// reads): each one a fixed sequence of register, text, object and action
// exchanges.
#include "protocol/CameraComm.h"

#include "protocol/CameraNumbers.h"
#include "protocol/Packet.h"

#include <cstring>

namespace oskel {
namespace {

constexpr int kItemInfoValue4Failure = 255;

bool InRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

} // namespace

// ---- helpers ----------------------------------------------------------

int CCameraComm::SelectItem(int item)
{
    return SetRegister(reg::kItemSelect, item);
}

int CCameraComm::ReadRegisterOr(uint8_t reg, int failureValue)
{
    int32_t value = 0;
    return GetRegister(reg, &value) ? value : failureValue;
}

// The output is written only when the read succeeded.
int CCameraComm::ReadRegisterInto(uint8_t reg, int32_t* out)
{
    if (out == nullptr)
        return 0;
    int32_t value = 0;
    if (!GetRegister(reg, &value))
        return 0;
    *out = value;
    return 1;
}

// Sends the text up to its terminating zero, at most `cap` bytes (the text
// need not be terminated within the cap).
int CCameraComm::SetTextRegister(uint8_t reg, const char* text, int cap)
{
    if (text == nullptr)
        return 0;
    const size_t n = strnlen(text, static_cast<size_t>(cap));
    return SetRegisterBytes(reg, reinterpret_cast<const uint8_t*>(text), static_cast<int>(n));
}

int CCameraComm::ReadText(uint8_t reg, char* buffer, int size)
{
    if (buffer == nullptr)
        return 0;
    return ReadObjectToBuffer(reg, reinterpret_cast<uint8_t*>(buffer), size, nullptr);
}

int CCameraComm::ReadItemToSink(int item, uint8_t kind, ITransferSink* sink)
{
    if (sink == nullptr)
        return 0;
    if (!SelectItem(item))
        return 0;
    return ReadObjectToSink(kind, sink);
}

int CCameraComm::ReadItemToBuffer(int item, uint8_t kind, uint8_t* buffer, int capacity)
{
    if (buffer == nullptr || capacity < 0)
        return 0;
    if (!SelectItem(item))
        return 0;
    int received = 0;
    return ReadObjectToBuffer(kind, buffer, capacity, &received) ? received : 0;
}

void CCameraComm::LowerDirtyMark(int value)
{
    if (m_nDirtyMark > value)
        m_nDirtyMark = value;
}

// ---- texts --------------------------------------------------------------

int CCameraComm::SetCameraId(const char* text) { return SetTextRegister(text::kCameraId, text, text::kCameraIdSize); }
int CCameraComm::GetCameraId(char* buffer32) { return ReadText(text::kCameraId, buffer32, text::kCameraIdSize); }
int CCameraComm::GetCameraVersion(char* buffer32)
{
    return ReadText(text::kCameraVersion, buffer32, text::kCameraVersionSize);
}
int CCameraComm::GetModelText(char* buffer64) { return ReadText(text::kModel, buffer64, text::kModelSize); }
int CCameraComm::GetText25(char* buffer32) { return ReadText(text::kText25, buffer32, text::kText25Size); }
int CCameraComm::SetText37(const char* text) { return SetTextRegister(text::kText37, text, text::kText37Size); }
int CCameraComm::GetText37(char* buffer256) { return ReadText(text::kText37, buffer256, text::kText37Size); }

// ---- items --------------------------------------------------------------

int CCameraComm::ReadItem14ToSink(int item, ITransferSink* sink) { return ReadItemToSink(item, kind::kItem14, sink); }
int CCameraComm::ReadItem14ToBuffer(int item, uint8_t* buffer, int capacity)
{
    return ReadItemToBuffer(item, kind::kItem14, buffer, capacity);
}
int CCameraComm::GetItemReg12(int item) { return SelectItem(item) ? ReadRegisterOr(reg::kItemReg12, 0) : 0; }
int CCameraComm::ReadItem15ToSink(int item, ITransferSink* sink) { return ReadItemToSink(item, kind::kItem15, sink); }
int CCameraComm::ReadItem15ToBuffer(int item, uint8_t* buffer, int capacity)
{
    return ReadItemToBuffer(item, kind::kItem15, buffer, capacity);
}
int CCameraComm::GetItemReg13(int item) { return SelectItem(item) ? ReadRegisterOr(reg::kItemReg13, 0) : 0; }
int CCameraComm::ReadItem44ToSink(int item, ITransferSink* sink) { return ReadItemToSink(item, kind::kItem44, sink); }

int CCameraComm::GetItemInfoValue3(int item)
{
    int32_t value3 = 0;
    GetItemInfo(item, nullptr, nullptr, &value3, nullptr);
    return value3;
}

int CCameraComm::GetItemInfo(int item, int32_t* value1, int32_t* value2, int32_t* value3, int32_t* value4)
{
    if (value1 == nullptr && value2 == nullptr && value3 == nullptr && value4 == nullptr)
        return 0;
    // A short answer leaves the missing numbers 0.
    uint8_t info[kind::kItemInfoSize] = {};
    int received = 0;
    const bool ok = SelectItem(item) && ReadObjectToBuffer(kind::kItemInfo, info, kind::kItemInfoSize, &received);
    auto give = [](int32_t* out, int32_t value) {
        if (out != nullptr)
            *out = value;
    };
    if (!ok) {
        give(value1, 0);
        give(value2, 0);
        give(value3, 0);
        give(value4, kItemInfoValue4Failure);
        return 0;
    }
    give(value1, static_cast<int32_t>(GetLe32(info + 0)));
    give(value2, static_cast<int32_t>(GetLe32(info + 4)));
    give(value3, static_cast<int32_t>(GetLe32(info + 8)));
    give(value4, static_cast<int32_t>(GetLe32(info + 16)));
    return 1;
}

int CCameraComm::GetItemReg39(int item) { return SelectItem(item) ? ReadRegisterOr(reg::kItemReg39, 255) : 255; }

int CCameraComm::GetItemCount(int* dirtyMark)
{
    int32_t count = 0;
    if (!GetRegister(reg::kItemCount, &count)) {
        if (dirtyMark != nullptr)
            *dirtyMark = -1;
        return -1;
    }
    LowerDirtyMark(count);
    if (m_nDirtyMark < 0)
        m_nDirtyMark = 0;
    if (dirtyMark != nullptr)
        *dirtyMark = m_nDirtyMark;
    return count;
}

// ---- plain registers ----------------------------------------------------

int CCameraComm::GetReg1() { return ReadRegisterOr(reg::kLiveness, 255); }
int CCameraComm::SetReg1(int value) { return SetRegister(reg::kLiveness, value); }
int CCameraComm::GetReg7() { return ReadRegisterOr(reg::kReg7, 255); }
int CCameraComm::SetReg7(int value) { return SetRegister(reg::kReg7, value); }
int CCameraComm::GetReg3() { return ReadRegisterOr(reg::kReg3, 0); }
int CCameraComm::GetReg33() { return ReadRegisterOr(reg::kReg33, 255); }
int CCameraComm::SetReg33(int value) { return SetRegister(reg::kReg33, value); }
int CCameraComm::GetReg6() { return ReadRegisterOr(reg::kReg6, 255); }
int CCameraComm::SetReg6(int value) { return SetRegister(reg::kReg6, value); }
int CCameraComm::NoOp() { return 1; }
int CCameraComm::GetReg16() { return ReadRegisterOr(reg::kBattery, -1); }
int CCameraComm::GetReg11() { return ReadRegisterOr(reg::kReg11, -1); }
int CCameraComm::GetReg23(int32_t* value) { return ReadRegisterInto(reg::kReg23, value); }
int CCameraComm::GetReg24(int32_t* value) { return ReadRegisterInto(reg::kReg24, value); }
int CCameraComm::SetReg30(int value) { return SetRegister(reg::kReg30, value); }
int CCameraComm::GetReg2(int32_t* value) { return ReadRegisterInto(reg::kReg2, value); }
int CCameraComm::SetReg2(int value) { return SetRegister(reg::kReg2, value); }
int CCameraComm::GetReg35() { return ReadRegisterOr(reg::kReg35, 0); }
int CCameraComm::GetReg36() { return ReadRegisterOr(reg::kReg36, 0); }
int CCameraComm::GetReg38(int32_t* value) { return ReadRegisterInto(reg::kReg38, value); }
int CCameraComm::GetReg54(int32_t* value) { return ReadRegisterInto(reg::kReg54, value); }
int CCameraComm::GetProgramCount() { return ReadRegisterOr(reg::kProgramCount, -1); }

int CCameraComm::GetReg65()
{
    const int value = ReadRegisterOr(reg::kReg65, -1);
    return value > 3 ? 4 : value;
}

// ---- bounded setters: out-of-range values fail without any I/O ----------

int CCameraComm::SetReg3(int value)
{
    if (value != 0 && !InRange(value, 100, 125000))
        return 0;
    return SetRegister(reg::kReg3, value);
}

int CCameraComm::SetReg23(int value) { return InRange(value, 1, 600) ? SetRegister(reg::kReg23, value) : 0; }
int CCameraComm::SetReg24(int value) { return InRange(value, 1, 600) ? SetRegister(reg::kReg24, value) : 0; }
int CCameraComm::SetReg35(int value) { return InRange(value, 1, 7) ? SetRegister(reg::kReg35, value) : 0; }
int CCameraComm::SetReg36(int value) { return InRange(value, 1, 7) ? SetRegister(reg::kReg36, value) : 0; }
int CCameraComm::SetReg38(int value) { return InRange(value, 1, 600) ? SetRegister(reg::kReg38, value) : 0; }
int CCameraComm::SetReg54(int value) { return InRange(value, 1, 600) ? SetRegister(reg::kReg54, value) : 0; }

// ---- actions ------------------------------------------------------------
// The dirty mark moves once the action has been sent, whatever the camera
// answered: a lost acknowledgement may hide a done action, and a mark that
// is too low only costs a re-read.

int CCameraComm::Action0()
{
    const int count = GetItemCount(nullptr);
    const int result = DoAction(action::kAction0, 0);
    if (count - 1 >= 0)
        LowerDirtyMark(count - 1);
    return result;
}

int CCameraComm::Action1()
{
    const int result = DoAction(action::kAction1, 0);
    m_nDirtyMark = 0;
    return result;
}

int CCameraComm::ActionItem7(int item)
{
    if (!SelectItem(item))
        return 0;
    const int result = DoAction(action::kItemAction7, 0);
    if (item <= 0)
        m_nDirtyMark = 0;
    else
        LowerDirtyMark(item - 1);
    return result;
}

int CCameraComm::ActionItem9(int item, int argument)
{
    if (!SelectItem(item))
        return 0;
    return DoAction(action::kItemAction9, static_cast<uint8_t>(argument));
}

int CCameraComm::Action2() { return DoAction(action::kAction2, 0); }
int CCameraComm::Action5() { return DoAction(action::kAction5, 0); }
int CCameraComm::Action4() { return DoAction(action::kAction4, 0); }

// ---- program directory --------------------------------------------------

int CCameraComm::ReadProgramInfo(int index, ProgramInfoRecord* record)
{
    if (record == nullptr)
        return 0;
    if (!SetRegister(reg::kProgramSelect, index))
        return 0;
    // An empty or short answer must not leave an older record's bytes behind.
    std::memset(record->bytes, 0, sizeof record->bytes);
    int received = 0;
    const int ok = ReadObjectToBuffer(kind::kProgramInfo, record->bytes, ProgramInfoRecord::kSize, &received);
    record->DecodeFromWire();
    return ok || received == ProgramInfoRecord::kSize ? 1 : 0;
}

} // namespace oskel
