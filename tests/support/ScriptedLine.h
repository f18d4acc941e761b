#pragma once

#include "platform/VirtualTimeSource.h"
#include "serial/PacedSerialOps.h"
#include "support/CountingPriority.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <vector>

namespace oskel::test {

using Bytes = std::vector<uint8_t>;

// A serial line with a scripted camera at the far end, in virtual time.
//
// The line cuts what the PC writes into frames (a command packet, a data
// packet, or any other single byte). Each complete frame takes the next
// scripted reply, whose bytes arrive `delayMs` after the frame; with no reply
// left the frame is met with silence (or with the responder's answer, when
// one is set). Reads take what has arrived and, when the rest does not come
// in time, advance the clock by the read time-out as the real port would.
class ScriptedLine : public PacedSerialOps {
public:
    struct WriteCall {
        Bytes bytes;
        int pacing;
        uint32_t tick;
    };
    struct Frame {
        Bytes bytes;
        uint32_t tick;
        int pacing;
    };
    using Responder = std::function<Bytes(const Bytes& frame)>;

    explicit ScriptedLine(VirtualTimeSource& time);

    // The answer to the next unanswered frame.
    void Reply(Bytes bytes, uint32_t delayMs = 0);
    void ReplySilence() { Reply({}); }
    // Bytes already waiting on the line now (stale input).
    void Inject(Bytes bytes);
    // Answers frames once the scripted replies are used up.
    void SetResponder(Responder responder) { m_responder = std::move(responder); }
    // Port indexes that open; every index 0..9 by default.
    void SetOpenablePorts(std::set<int> ports) { m_openable = std::move(ports); }
    void SetBaudRateFails(bool fails) { m_baudFails = fails; }
    // Why ports outside the openable set fail to open.
    void SetOpenRefusal(OpenError::Kind kind) { m_refusal = kind; }
    void ResetOpenDiagnostics() override { m_diagnostics = OpenDiagnostics{}; }
    OpenDiagnostics GetOpenDiagnostics() const override { return m_diagnostics; }

    int OpenPort(int index) override;
    int IsPortOpen() override { return m_open ? 1 : 0; }
    int SetBaudRate(int bps) override;
    int ClosePort() override;
    int WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing) override;
    int ReadPort(uint8_t* buffer, int count, uint32_t* read) override;
    int BytesInBuffer(uint32_t* count) override;
    int ClearBuffers() override;

    // What happened, for the assertions.
    std::vector<WriteCall> writes;      // one per WritePort call
    std::vector<Bytes> chunks;          // one per single write call on the wire
    std::vector<Frame> frames;          // complete frames the PC sent
    std::vector<int> baudRates;         // every SetBaudRate
    std::vector<int> openAttempts;      // every OpenPort index
    int clears = 0;
    int closes = 0;
    int speed() const { return m_speed; }
    int lastOpenedPort() const { return openAttempts.empty() ? -1 : openAttempts.back(); }
    size_t pendingReplies() const { return m_replies.size(); }
    size_t bytesUnread() const { return m_input.size(); }

    CountingPriority priority;
    VirtualTimeSource& clock;

protected:
    bool WriteChunk(const uint8_t* bytes, int count, uint32_t* written) override;

private:
    struct Arrival {
        uint64_t atUs;
        uint8_t byte;
    };
    struct Pending {
        Bytes bytes;
        uint32_t delayMs;
    };

    void TakeFrames();
    void Schedule(const Bytes& bytes, uint64_t atUs);

    bool m_open = false;
    bool m_baudFails = false;
    int m_speed = 0;
    std::set<int> m_openable;
    OpenError::Kind m_refusal = OpenError::NoDevice;
    OpenDiagnostics m_diagnostics;
    Bytes m_partial;
    int m_lastPacing = -1;
    std::deque<Pending> m_replies;
    std::deque<Arrival> m_input;
    Responder m_responder;
};

} // namespace oskel::test
