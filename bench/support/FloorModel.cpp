#include "FloorModel.h"

#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "serial/PacedSerialOps.h"
#include "serial/SerialTimeouts.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <map>

namespace oskel::bench {
namespace {

constexpr uint8_t kRegReady = 18;
constexpr uint8_t kActionUpload = 11;
constexpr uint8_t kActionErase = 13;

double WireMs(int bps, int count)
{
    return bps > 0 && count > 0 ? static_cast<double>(count) * 10.0 * 1000.0 / bps : 0.0;
}

// ESC 'C' L L code target ...
bool IsCommand(const LineEvent& e, uint8_t code)
{
    return e.head.size() >= 6 && e.head[0] == kESC && e.head[1] == kCommandLetter && e.head[4] == code;
}

// The gaps a write's pacing mode puts between its bytes, in ms.
double PacingGapsMs(const LineEvent& e)
{
    if (e.pacing < 0)
        return e.moved >= PacedSerialOps::kSplitThreshold ? 2.0 : 0.0;
    if (e.pacing == 0)
        return 0.0;
    return 2.0 * e.pacing * e.moved;
}

class Model {
public:
    explicit Model(const CameraTiming& camera) : m_camera(camera) {}

    // The model's duration of one step, in ms; updates the breakdown.
    // readyPoll: the step is a read of register 18 that finds the camera ready.
    double Step(const LineEvent& e, bool readyPoll);
    FloorBreakdown& Result() { return m_r; }

private:
    double ReadEnd(const LineEvent& e);

    CameraTiming m_camera;
    FloorBreakdown m_r;
    double m_t = 0;             // model time, ms
    double m_lastWriteEnd = 0;  // the PC's last byte reached the camera
    bool m_wroteSinceRead = true;
    double m_txStart = 0;       // the camera's current answer began
    int m_txIndex = 0;          // bytes of it taken so far
    int m_actionCode = -1;      // an action has been sent and its ACK not yet read
    double m_enqAt = -1;        // when the camera finished the last action
    double m_readyAt = 0;       // from then on register 18 reads non-zero
};

double Model::ReadEnd(const LineEvent& e)
{
    if (m_wroteSinceRead) {
        m_txStart = m_lastWriteEnd + m_camera.answerDelayUs / 1000.0;
        m_txIndex = 0;
        m_wroteSinceRead = false;
    }
    const bool enq = e.moved == 1 && e.head[0] == kENQ && m_enqAt >= 0;
    if (enq) {
        m_txStart = m_enqAt + m_camera.answerDelayUs / 1000.0;
        m_txIndex = 0;
        m_enqAt = -1;
    }
    const double last = m_txStart + WireMs(e.bps, m_txIndex + e.moved);
    m_txIndex += e.moved;
    return last;
}

double Model::Step(const LineEvent& e, bool readyPoll)
{
    const double before = m_t;
    switch (e.kind) {
    case LineEvent::Kind::Write: {
        const double wire = WireMs(e.bps, e.moved);
        const double gaps = PacingGapsMs(e);
        m_r.wirePcMs += wire;
        m_r.pausesMs += gaps;
        m_r.bytesPcToCam += static_cast<uint64_t>(e.moved);
        ++m_r.writes;
        m_t += wire + gaps;
        // A poll can find the camera ready only once it is: the one that
        // does counts from that moment (the polls before it took their time
        // in any case).
        m_lastWriteEnd = readyPoll ? std::max(m_t, m_readyAt) : m_t;
        m_wroteSinceRead = true;
        if (IsCommand(e, kCmdAction))
            m_actionCode = e.head[5];
        break;
    }
    case LineEvent::Kind::Read: {
        ++m_r.reads;
        m_r.bytesCamToPc += static_cast<uint64_t>(e.moved);
        if (e.moved == 0) {
            const double timeout = ReadTotalTimeoutMs(e.bps, e.count);
            m_r.timeoutsMs += timeout;
            m_t += timeout;
            break;
        }
        double last = ReadEnd(e);
        if (m_actionCode >= 0 && e.head[0] == kACK) {
            const uint32_t delay = m_actionCode == kActionUpload  ? m_camera.uploadEnqDelayMs
                                   : m_actionCode == kActionErase ? m_camera.eraseEnqDelayMs
                                                                  : m_camera.enqDelayMs;
            m_enqAt = last + delay;
            m_readyAt = m_enqAt + m_camera.readyDelayMs;
            m_actionCode = -1;
        }
        if (e.moved < e.count)
            last = std::min(before + ReadTotalTimeoutMs(e.bps, e.count), last + kReadIntervalTimeoutMs);
        m_r.wireCamMs += WireMs(e.bps, e.moved);
        m_t = std::max(m_t, last);
        break;
    }
    case LineEvent::Kind::Wait: {
        // A wait ends when the millisecond tick has advanced by its length:
        // begun part-way through a tick, it lasts that part less.
        const double ms = e.value - static_cast<double>(e.startUs % 1000u) / 1000.0;
        m_r.pausesMs += ms;
        m_t += ms;
        break;
    }
    case LineEvent::Kind::Calibrate:
        m_r.pausesMs += e.value;
        m_t += e.value;
        break;
    default:
        break;
    }
    return m_t - before;
}

} // namespace

std::vector<bool> ReadyPolls(const LineLog& log)
{
    std::vector<bool> ready(log.size(), false);
    for (size_t i = 0; i < log.size(); ++i) {
        const LineEvent& w = log[i];
        if (w.kind != LineEvent::Kind::Write || !IsCommand(w, kCmdGetRegister) || w.head[5] != kRegReady)
            continue;
        for (size_t j = i + 1; j < log.size() && log[j].kind != LineEvent::Kind::Write; ++j) {
            const LineEvent& r = log[j];
            if (r.kind == LineEvent::Kind::Read && r.count == 4 && r.moved == 4) {
                ready[i] = r.head[0] != 0 || r.head[1] != 0 || r.head[2] != 0 || r.head[3] != 0;
                break;
            }
        }
    }
    return ready;
}

FloorBreakdown ModelFloor(const LineLog& log, const CameraTiming& camera)
{
    Model model(camera);
    const std::vector<bool> ready = ReadyPolls(log);
    double total = 0;
    for (size_t i = 0; i < log.size(); ++i)
        total += model.Step(log[i], ready[i]);
    FloorBreakdown r = model.Result();
    r.totalMs = total;
    r.cameraMs = std::max(0.0, total - r.wirePcMs - r.wireCamMs - r.pausesMs - r.timeoutsMs);
    return r;
}


std::string ExcessByKind(const LineLog& log, const CameraTiming& camera)
{
    static const char* const kNames[] = {"open", "close", "speed", "purge", "query", "write", "read", "wait", "calibrate"};
    Model model(camera);
    const std::vector<bool> ready = ReadyPolls(log);
    std::map<int, std::pair<double, double>> sums; // kind -> (real, model)
    std::map<int, int> counts;
    double gapsMs = 0; // real time between steps: the PC's own work
    for (size_t i = 0; i < log.size(); ++i) {
        const LineEvent& e = log[i];
        const int k = static_cast<int>(e.kind);
        sums[k].first += static_cast<double>(e.endUs - e.startUs) / 1000.0;
        sums[k].second += model.Step(e, ready[i]);
        ++counts[k];
        if (i > 0 && e.startUs > log[i - 1].endUs)
            gapsMs += static_cast<double>(e.startUs - log[i - 1].endUs) / 1000.0;
    }
    std::string text;
    char line[160];
    if (std::getenv("OSKEL_BENCH_TRACE") != nullptr) {
        Model trace(camera);
        for (size_t i = 0; i < log.size(); ++i) {
            const LineEvent& e = log[i];
            const double floor = trace.Step(e, ready[i]);
            const double real = static_cast<double>(e.endUs - e.startUs) / 1000.0;
            std::snprintf(line, sizeof line, "    %-9s bps %6d n %5d/%5d v %5u real %9.3f floor %9.3f%s\n",
                          kNames[static_cast<int>(e.kind)], e.bps, e.moved, e.count, e.value, real, floor,
                          real - floor > 1.0 ? "  <<" : "");
            text += line;
        }
    }
    for (const auto& [k, s] : sums) {
        std::snprintf(line, sizeof line, "  %-9s x%-6d real %10.2f ms  floor %10.2f ms  excess %+9.2f ms\n", kNames[k],
                      counts[k], s.first, s.second, s.first - s.second);
        text += line;
    }
    std::snprintf(line, sizeof line, "  between steps       real %10.2f ms\n", gapsMs);
    text += line;
    return text;
}

} // namespace oskel::bench
