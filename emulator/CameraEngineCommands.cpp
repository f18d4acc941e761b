// What the camera does for each command: speed change, registers, byte-string
// registers, objects and actions.
#include "emulator/CameraEngine.h"

#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "protocol/PacketText.h"
#include "protocol/SpeedCodes.h"

#include <algorithm>
#include <cstring>

namespace oskel::emulator {
namespace {

std::string Printable(const uint8_t* bytes, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += bytes[i] >= 0x20 && bytes[i] < 0x7F ? static_cast<char>(bytes[i]) : '.';
    return s;
}

// Synthetic contents of a picture item's objects, the same on every run.
std::vector<uint8_t> Pattern(uint32_t size, uint32_t seed)
{
    std::vector<uint8_t> bytes(size);
    uint32_t x = seed * 2654435761u + 12345u;
    for (uint8_t& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 16);
    }
    return bytes;
}

bool IsAction(int code)
{
    switch (code) {
    case 0:
    case 1:
    case 2:
    case 4:
    case 5:
    case 7:
    case 9:
    case 11:
    case 13:
        return true;
    default:
        return false;
    }
}

} // namespace

void CameraEngine::OnSpeedPacket(const uint8_t* payload, int length)
{
    const int code = payload[2];
    const bool wellFormed = length == 6 && payload[0] == 0x00 && payload[1] == 0x11 && payload[3] == 0 &&
                            payload[4] == 0 && payload[5] == 0;
    const int bps = code == kCloseSpeedCode ? kProbeSpeed : SpeedForCode(code);
    if (!wellFormed || bps == 0) {
        Log("PC>CAM", "speed packet with code " + std::to_string(code) + ": refused");
        Send({kNAK}, "NAK (bad speed packet)");
        return;
    }
    Log("PC>CAM", SpeedCodeText(code));
    Send({kACK}, "ACK");
    Timer t;
    t.type = TimerType::SpeedSwitch;
    t.at = m_txFreeUs; // once the ACK has left at the old speed
    t.code = bps;
    Schedule(t);
}

void CameraEngine::OnCommand(const uint8_t* payload, int length)
{
    const uint8_t code = payload[0];
    const uint8_t target = length >= 2 ? payload[1] : 0;
    auto refuse = [&](const std::string& why) {
        Log("PC>CAM", why);
        Send({kNAK}, "NAK (refused)");
    };
    switch (code) {
    case kCmdSetRegister:
        if (length != 6)
            return refuse(CommandText(payload, length));
        return OnSetRegister(target, static_cast<int32_t>(GetLe32(payload + 2)));
    case kCmdGetRegister:
        if (length != 2)
            return refuse(CommandText(payload, length));
        return OnGetRegister(target);
    case kCmdAction:
        if (length != 3)
            return refuse(CommandText(payload, length));
        return OnAction(target, payload[2]);
    case kCmdSendObject:
        if (length < 2)
            return refuse(CommandText(payload, length));
        return OnSendObject(target, payload + 2, length - 2);
    case kCmdReadObject:
        if (length != 2)
            return refuse(CommandText(payload, length));
        return OnReadObject(target);
    default:
        return refuse(CommandText(payload, length));
    }
}

bool CameraEngine::IsRegister(int reg) const
{
    switch (reg) {
    case 10:
    case 12:
    case 13:
    case 16:
    case 18:
    case 28:
    case 39:
    case 55:
        return true;
    default:
        return m_registers.count(reg) != 0;
    }
}

int CameraEngine::SelectedItem() const
{
    const int item = m_registers.at(4);
    return item >= 1 && item <= ItemCount() ? item : 0;
}

uint32_t CameraEngine::ItemObjectSize(int kind, int item) const
{
    switch (kind) {
    case 14:
        return 6000u + 700u * static_cast<uint32_t>(item); // the picture
    case 15:
        return 1200u;                                     // its thumbnail
    case 44:
        return 160u;                                      // its sound note
    default:
        return 0;
    }
}

bool CameraEngine::PeekRegister(int reg, int32_t* value) const
{
    const int item = SelectedItem();
    switch (reg) {
    case 10:
        *value = ItemCount();
        return true;
    case 12:
        *value = item != 0 ? static_cast<int32_t>(ItemObjectSize(14, item)) : 0;
        return true;
    case 13:
        *value = item != 0 ? static_cast<int32_t>(ItemObjectSize(15, item)) : 0;
        return true;
    case 16:
        *value = m_battery;
        return true;
    case 18:
        *value = Ready() ? 1 : 0;
        return true;
    case 28:
        *value = static_cast<int32_t>(std::min<uint32_t>(m_store.Free(), 0x7FFFFFFFu));
        return true;
    case 39:
        *value = item != 0 ? m_itemFlags[static_cast<size_t>(item - 1)] : 0;
        return true;
    case 55:
        *value = m_store.Count();
        return true;
    default: {
        const auto it = m_registers.find(reg);
        if (it == m_registers.end())
            return false;
        *value = it->second;
        return true;
    }
    }
}

void CameraEngine::OnSetRegister(uint8_t reg, int32_t value)
{
    if (!IsRegister(reg)) {
        Log("PC>CAM", SetRegisterText(reg, value) + ": no such register");
        Send({kNAK}, "NAK (no such register)");
        return;
    }
    Log("PC>CAM", SetRegisterText(reg, value));
    if (m_registers.count(reg) != 0)
        m_registers[reg] = value; // the computed ones (count, memory, readiness, ...) ignore writes
    Send({kACK}, "ACK");
}

void CameraEngine::OnGetRegister(uint8_t reg)
{
    int32_t value = 0;
    if (!PeekRegister(reg, &value)) {
        Log("PC>CAM", GetRegisterText(reg) + ": no such register");
        Send({kNAK}, "NAK (no such register)");
        return;
    }
    if (reg == 16) {
        for (const Fault& f : m_faults.Hit(FaultEvent::BatteryRead)) {
            if (f.kind == FaultKind::LowBattery) {
                m_battery = static_cast<int32_t>(f.argument < 0 ? 10 : f.argument);
                value = m_battery;
                Log("CAMERA", "battery now " + std::to_string(m_battery) + " (fault)");
            }
        }
    }
    Log("PC>CAM", GetRegisterText(reg));
    std::vector<uint8_t> bytes(4);
    PutLe32(bytes.data(), static_cast<uint32_t>(value));
    StartObjectOut(bytes, true, "register " + std::to_string(reg) + " = " + std::to_string(value));
}

void CameraEngine::StartObjectOut(std::vector<uint8_t> bytes, bool single, const std::string& what)
{
    Log("CAMERA", what);
    m_out = std::move(bytes);
    m_outOffset = 0;
    m_outChunk = 0;
    m_outSequence = 0;
    m_outSingle = single;
    m_outResends = 0;
    SendOutPacket();
}

void CameraEngine::OnAction(uint8_t code, uint8_t argument)
{
    const std::string name = ActionText(code, argument);
    if (!IsAction(code)) {
        Log("PC>CAM", name + ": no such action");
        Send({kNAK}, "NAK (no such action)");
        return;
    }
    Timer t;
    t.type = TimerType::ActionDone;
    t.code = code;
    t.argument = argument;
    uint32_t delayMs = m_config.enqDelayMs;
    if (code == 11 || code == 13) {
        delayMs = code == 11 ? m_config.uploadEnqDelayMs : m_config.eraseEnqDelayMs;
        for (const Fault& f : m_faults.Hit(code == 11 ? FaultEvent::Upload : FaultEvent::Erase)) {
            if (f.kind == FaultKind::FailErase) {
                Log("PC>CAM", name + " -> fault: erase refused");
                Send({kCAN}, "CAN (erase refused, fault)");
                return;
            }
            t.noEnq = t.noEnq || f.kind == FaultKind::NoEnqAfterUpload || f.kind == FaultKind::NoEnqAfterErase;
            t.noEffect = t.noEffect || f.kind == FaultKind::CountUnchangedAfterUpload ||
                         f.kind == FaultKind::CountUnchangedAfterErase;
        }
    }
    Log("PC>CAM", name);
    Send({kACK}, "ACK");
    ++m_busyActions;
    t.at = m_txFreeUs + static_cast<uint64_t>(delayMs) * 1000u;
    Schedule(t);
}

void CameraEngine::FinishAction(const Timer& t)
{
    std::string result;
    const int item = SelectedItem();
    if (t.noEffect) {
        result = "without effect (fault)";
        if (t.code == 11)
            m_pending = Incoming();
    } else if (t.code == 11) {
        if (!m_pending.active) {
            result = "nothing to store";
        } else if (m_pending.kind == 29) {
            m_systemData = m_pending.data;
            result = "system data stored (" + std::to_string(m_systemData.size()) + " bytes)";
        } else {
            std::string why;
            const size_t size = m_pending.data.size();
            if (m_store.Add(m_pending.name, m_pending.data, &why))
                result = "program \"" + Printable(m_pending.name.data(), 11) + "\" stored in slot " +
                         std::to_string(m_store.Count()) + " (" + std::to_string(size) + " bytes)";
            else
                result = "program \"" + Printable(m_pending.name.data(), 11) + "\" not stored: " + why;
        }
        m_pending = Incoming();
    } else if (t.code == 13) {
        const int slot = m_registers.at(56);
        result = m_store.Erase(slot) ? "program in slot " + std::to_string(slot) + " erased"
                                     : "no program in slot " + std::to_string(slot) + ": nothing erased";
    } else if (t.code == 0) {
        m_itemFlags.push_back(0);
        result = "new picture, item " + std::to_string(ItemCount());
    } else if (t.code == 1) {
        m_itemFlags.clear();
        result = "all pictures erased";
    } else if (t.code == 7) {
        if (item != 0)
            m_itemFlags.erase(m_itemFlags.begin() + (item - 1));
        result = item != 0 ? "picture " + std::to_string(item) + " erased" : "no such picture";
    } else if (t.code == 9) {
        if (item != 0)
            m_itemFlags[static_cast<size_t>(item - 1)] = t.argument;
        result = item != 0 ? "picture " + std::to_string(item) + " marked " + std::to_string(t.argument)
                           : "no such picture";
    } else {
        result = "done";
    }
    Log("CAMERA", "action " + std::to_string(t.code) + " finished: " + result);
    --m_busyActions;
    m_readyAtUs = std::max(m_readyAtUs, m_now + static_cast<uint64_t>(m_config.readyDelayMs) * 1000u);
    if (t.noEnq)
        Log("CAMERA", "no ENQ (fault)");
    else
        Send({kENQ}, "ENQ");
}

void CameraEngine::OnSendObject(uint8_t kind, const uint8_t* data, int n)
{
    const int size = TextRegisterSize(kind);
    if (size > 0) {
        std::string text(reinterpret_cast<const char*>(data), static_cast<size_t>(std::min(n, size)));
        Log("PC>CAM", "text " + std::to_string(kind) + " := \"" + Printable(data, std::min(n, size)) + "\"");
        m_texts[kind] = text;
        Send({kACK}, "ACK");
        return;
    }
    if ((kind == 58 && n == 12) || kind == 29) {
        m_in = Incoming();
        m_in.active = true;
        m_in.kind = kind;
        if (kind == 58)
            std::memcpy(m_in.name.data(), data, 12);
        Log("PC>CAM", kind == 58 ? "program upload announced as \"" + Printable(data, 11) + "\""
                                 : "system data announced");
        m_rx = Rx::ReceiveData;
        Send({kACK}, "ACK");
        return;
    }
    Log("PC>CAM", SendObjectText(kind, n) + ": refused");
    Send({kNAK}, "NAK (refused)");
}

bool CameraEngine::ObjectBytes(uint8_t kind, std::vector<uint8_t>* bytes) const
{
    bytes->clear();
    const int textSize = TextRegisterSize(kind);
    if (textSize > 0) {
        const std::string text = TextValue(kind);
        bytes->assign(text.begin(), text.end());
        if (bytes->size() < static_cast<size_t>(textSize))
            bytes->push_back(0); // the camera ends a shorter text with a zero byte
        return true;
    }
    const int item = SelectedItem();
    switch (kind) {
    case 14:
    case 15:
    case 44:
        if (item != 0)
            *bytes = Pattern(ItemObjectSize(kind, item), static_cast<uint32_t>(kind * 1000 + item));
        return true;
    case 47:
        if (item != 0) {
            bytes->assign(32, 0);
            PutLe32(bytes->data(), ItemObjectSize(14, item));
            PutLe32(bytes->data() + 4, ItemObjectSize(15, item));
            PutLe32(bytes->data() + 8, static_cast<uint32_t>(item));
            PutLe32(bytes->data() + 12, ItemObjectSize(44, item));
            PutLe32(bytes->data() + 16, static_cast<uint32_t>(m_itemFlags[static_cast<size_t>(item - 1)]));
        }
        return true;
    case 29:
        *bytes = m_systemData;
        return true;
    case 57: {
        DirectoryRecord record{};
        if (m_store.Record(m_registers.at(56), &record))
            bytes->assign(record.begin(), record.end());
        return true;
    }
    case 58:
        if (const StoredProgram* p = m_store.At(m_registers.at(56)))
            *bytes = p->data;
        return true;
    default:
        return false;
    }
}

void CameraEngine::OnReadObject(uint8_t kind)
{
    if (kind == 27) {
        for (const Fault& f : m_faults.Hit(FaultEvent::ModelTextRead)) {
            if (f.kind == FaultKind::FailModelText) {
                Log("PC>CAM", ReadObjectText(kind) + " -> fault: model text read fails");
                Send({kCAN}, "CAN (fault)");
                return;
            }
        }
    }
    std::vector<uint8_t> bytes;
    if (!ObjectBytes(kind, &bytes)) {
        Log("PC>CAM", ReadObjectText(kind) + ": no such object");
        Send({kNAK}, "NAK (no such object)");
        return;
    }
    Log("PC>CAM", ReadObjectText(kind));
    if (bytes.empty()) {
        Send({kACK}, "ACK (nothing to send)");
        return;
    }
    const std::string what = "object " + std::to_string(kind) + ": " + std::to_string(bytes.size()) + " bytes";
    StartObjectOut(std::move(bytes), false, what);
}

} // namespace oskel::emulator
