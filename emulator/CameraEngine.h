#pragma once

#include "emulator/CameraConfig.h"
#include "emulator/FaultScript.h"
#include "emulator/LineFormat.h"
#include "emulator/ProgramStore.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace oskel::emulator {

// A byte on the wire toward the PC: the moment its stop bit ends and the
// format it was sent in.
struct TimedByte {
    uint64_t atUs = 0;
    uint8_t value = 0;
    LineFormat format;
};

// The camera: a byte stream in, a byte stream out, driven by timestamps in
// microseconds that never go backwards. The caller hands over each byte at
// the moment its last bit reaches the camera (ReceiveFromLine), lets time
// pass (AdvanceTo) and collects what the camera put on the wire
// (TakeOutput), each byte stamped with the moment it has fully left.
//
// The camera runs 8-N-1 at its current speed (19200 bit/s at power-on) and
// samples what the PC sends at that speed; a byte sent at another speed or
// framing arrives garbled. It answers the probe byte at 19200 bit/s with NAK,
// acknowledges a speed packet at the old speed and switches once the ACK has
// left, and goes back to 19200 bit/s on speed code 0, on a break (a
// misframed all-zero byte: the PC probing at 19200 while the camera is
// faster) and when the PC closes the port.
class CameraEngine {
public:
    explicit CameraEngine(CameraConfig config = CameraConfig());

    void AdvanceTo(uint64_t nowUs);
    void ReceiveFromLine(uint64_t atUs, uint8_t byte, const LineFormat& sender);
    // The PC has closed the port: the link falls back to 19200 bit/s and any
    // exchange under way is dropped.
    void LineDropped(uint64_t atUs);

    // The earliest moment at which something happens without input (an
    // output byte completes or a timer fires); UINT64_MAX when nothing will.
    uint64_t NextEventUs() const;
    uint64_t NextTimerUs() const;  // UINT64_MAX when no timer is set
    uint64_t NextOutputUs() const; // when the next output byte is due; UINT64_MAX when none
    // The moment the last output byte due by limitUs is due; 0 when none is.
    uint64_t LastOutputDueBy(uint64_t limitUs) const;
    std::vector<TimedByte> TakeOutput(uint64_t upToUs);

    // The PC's side of the line, for the wire log.
    void SetPeerFormat(const LineFormat& pc) { m_peer = pc; }
    // One line per packet, control byte and notable event.
    void SetLog(std::function<void(const std::string&)> log) { m_log = std::move(log); }
    void Note(const std::string& text);

    FaultScript& Faults() { return m_faults; }
    ProgramStore& Programs() { return m_store; }
    const ProgramStore& Programs() const { return m_store; }
    const CameraConfig& Config() const { return m_config; }

    uint64_t NowUs() const { return m_now; }
    int SpeedBps() const { return m_speed; }
    bool Ready() const;
    int ItemCount() const { return static_cast<int>(m_itemFlags.size()); }
    // A register as the camera would report it, without counting a read.
    bool PeekRegister(int reg, int32_t* value) const;
    std::string TextValue(int reg) const;
    bool UploadPending() const { return m_pending.active; }

    static constexpr uint64_t kInterByteTimeoutUs = 100000;   // a packet's bytes come closer than this
    static constexpr uint64_t kAnswerTimeoutUs = 3000000;     // wait for the PC's ACK to a data packet
    static constexpr uint64_t kReceiveIdleTimeoutUs = 5000000; // an upload abandoned by the PC
    static constexpr uint64_t kDiscardGapUs = 20000;          // quiet line after a bad header, then NAK
    static constexpr int kMaxResends = 10;
    static constexpr int kMaxDataPacket = 4096;

private:
    enum class Rx { Idle, Command, Discard, AwaitAnswer, ReceiveData };
    enum class TimerType { SpeedSwitch, ActionDone, DiscardNak };
    struct Timer {
        uint64_t at = 0;
        TimerType type = TimerType::SpeedSwitch;
        int code = 0;
        int argument = 0;
        bool noEnq = false;
        bool noEffect = false;
    };
    struct Incoming {
        bool active = false;
        bool done = false;
        int kind = 0;
        CameraName name{};
        std::vector<uint8_t> data;
        uint8_t sequence = 0; // of the next data packet
        int packets = 0;      // data packets taken so far
    };

    // Time, timers and output (CameraEngine.cpp).
    void Schedule(const Timer& timer);
    void Fire(const Timer& timer);
    void Send(const std::vector<uint8_t>& bytes, const std::string& what);
    void Log(const char* direction, const std::string& text);
    bool Silenced();

    // Bytes and packets from the PC (CameraEngineInput.cpp).
    void OnByte(uint8_t b);
    void OnBreak();
    void ExpireStaleState();
    void StartPacket(uint8_t b, Rx state);
    void OnCommandByte(uint8_t b);
    void OnReceiveDataByte(uint8_t b);
    void OnAnswerByte(uint8_t b);
    void EnterDiscard(Rx returnTo, const std::string& why);
    bool ApplyPacketFaults(const std::string& what);
    void CompleteCommand();
    void CompleteDataPacket();
    void SendOutPacket();

    // Commands, registers, objects, actions (CameraEngineCommands.cpp).
    void OnSpeedPacket(const uint8_t* payload, int length);
    void OnCommand(const uint8_t* payload, int length);
    void OnSetRegister(uint8_t reg, int32_t value);
    void OnGetRegister(uint8_t reg);
    void OnAction(uint8_t code, uint8_t argument);
    void OnSendObject(uint8_t kind, const uint8_t* data, int n);
    void OnReadObject(uint8_t kind);
    void StartObjectOut(std::vector<uint8_t> bytes, bool single, const std::string& what);
    void FinishAction(const Timer& timer);
    bool ObjectBytes(uint8_t kind, std::vector<uint8_t>* bytes) const;
    bool IsRegister(int reg) const;
    int SelectedItem() const;
    uint32_t ItemObjectSize(int kind, int item) const;

    CameraConfig m_config;
    ProgramStore m_store;
    FaultScript m_faults;
    std::function<void(const std::string&)> m_log;
    LineFormat m_peer = LineFormat::Raw8N1(19200);

    uint64_t m_now = 0;
    int m_speed = 19200;
    uint64_t m_txFreeUs = 0;
    std::deque<TimedByte> m_output;
    std::vector<Timer> m_timers;

    Rx m_rx = Rx::Idle;
    Rx m_discardReturn = Rx::Idle;
    std::vector<uint8_t> m_packet;
    size_t m_packetSize = 0; // total once the header is known, else 0
    uint64_t m_lastInputUs = 0;
    uint64_t m_awaitSinceUs = 0;
    int m_strayPending = 0;

    bool m_silent = false;
    bool m_silentForever = false;
    uint64_t m_silentUntilUs = 0;

    std::vector<uint8_t> m_out; // object being sent
    size_t m_outOffset = 0;
    size_t m_outChunk = 0;
    uint8_t m_outSequence = 0;
    bool m_outSingle = false;
    int m_outResends = 0;

    Incoming m_in;      // object being received
    Incoming m_pending; // received, waiting for action 11

    std::map<int, int32_t> m_registers;
    std::map<int, std::string> m_texts;
    std::vector<int32_t> m_itemFlags; // one per picture item
    std::vector<uint8_t> m_systemData;
    int m_busyActions = 0;
    uint64_t m_readyAtUs = 0;
    int32_t m_battery = 100;
};

} // namespace oskel::emulator
