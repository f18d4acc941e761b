#include "support/FloorModel.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace oskel::bench {
namespace {

// A log of what the PC did, built step by step.
class Log {
public:
    explicit Log(int bps) : m_bps(bps) {}
    Log& Write(std::initializer_list<uint8_t> head, int count = -1, int pacing = -1)
    {
        LineEvent e = Make(LineEvent::Kind::Write);
        e.head.assign(head);
        e.count = e.moved = count < 0 ? static_cast<int>(head.size()) : count;
        e.pacing = pacing;
        m_log.push_back(e);
        return *this;
    }
    Log& Read(int count, std::initializer_list<uint8_t> got)
    {
        LineEvent e = Make(LineEvent::Kind::Read);
        e.head.assign(got);
        e.count = count;
        e.moved = static_cast<int>(got.size());
        m_log.push_back(e);
        return *this;
    }
    Log& Wait(uint32_t ms)
    {
        LineEvent e = Make(LineEvent::Kind::Wait);
        e.value = ms;
        m_log.push_back(e);
        return *this;
    }
    const LineLog& Events() const { return m_log; }

private:
    LineEvent Make(LineEvent::Kind kind) const
    {
        LineEvent e;
        e.kind = kind;
        e.bps = m_bps;
        return e;
    }
    int m_bps;
    LineLog m_log;
};

double Wire(int bps, int bytes)
{
    return bytes * 10000.0 / bps;
}

const CameraTiming kCamera; // answer 1 ms, upload ENQ 800 ms, ready 100 ms

TEST(FloorModel, RegisterReadIsWireTimeBothWaysPlusTheAnswerDelay)
{
    Log log(230400);
    log.Write({0x1B, 0x43, 0x02, 0x00, 0x01, 0x37, 0x38, 0x00})
        .Read(1, {0x03})
        .Read(3, {0x00, 0x04, 0x00})
        .Read(4, {1, 0, 0, 0})
        .Read(2, {1, 0})
        .Write({0x06});
    const FloorBreakdown f = ModelFloor(log.Events(), kCamera);
    EXPECT_NEAR(f.totalMs, Wire(230400, 8) + 1.0 + Wire(230400, 10) + Wire(230400, 1), 1e-9);
    EXPECT_EQ(f.bytesPcToCam, 9u);
    EXPECT_EQ(f.bytesCamToPc, 10u);
}

TEST(FloorModel, AnAnswerThatArrivesDuringAPauseCostsNothingMore)
{
    // A big data packet: split into three writes with 1 ms gaps, then the
    // 48 ms pause, during which the camera's ACK arrives.
    Log log(115200);
    log.Write({0x02, 0x01, 0xE0, 0x07}, 2022).Wait(48).Read(1, {0x06});
    EXPECT_NEAR(ModelFloor(log.Events(), kCamera).totalMs, Wire(115200, 2022) + 2.0 + 48.0, 1e-9);
}

TEST(FloorModel, AReadThatGetsNothingLastsItsWholeTimeOut)
{
    Log log(19200);
    log.Write({0x00}).Read(1, {});
    const FloorBreakdown f = ModelFloor(log.Events(), kCamera);
    EXPECT_NEAR(f.totalMs, Wire(19200, 1) + 501.0, 1e-9);
    EXPECT_NEAR(f.timeoutsMs, 501.0, 1e-9);
}

TEST(FloorModel, EnqAndReadinessFollowTheCamerasDelaysAfterTheActionsAck)
{
    const int bps = 230400;
    Log log(bps);
    log.Write({0x1B, 0x43, 0x03, 0x00, 0x02, 0x0B, 0x00, 0x0D, 0x00}) // action 11
        .Read(1, {0x06})
        .Wait(300)
        .Read(1, {0x05}); // ENQ
    const double enq = Wire(bps, 9) + 1.0 + Wire(bps, 1) + 800.0 + 1.0 + Wire(bps, 1);
    EXPECT_NEAR(ModelFloor(log.Events(), kCamera).totalMs, enq, 1e-9);

    // A poll of register 18 that finds the camera ready cannot have been
    // sent before the ready delay has passed.
    log.Write({0x1B, 0x43, 0x02, 0x00, 0x01, 0x12, 0x13, 0x00})
        .Read(1, {0x03})
        .Read(3, {0x00, 0x04, 0x00})
        .Read(4, {1, 0, 0, 0})
        .Read(2, {1, 0})
        .Write({0x06});
    const double ready = enq - Wire(bps, 1) - 1.0 + 100.0;
    EXPECT_NEAR(ModelFloor(log.Events(), kCamera).totalMs, ready + 1.0 + Wire(bps, 10) + Wire(bps, 1), 1e-9);
}

} // namespace
} // namespace oskel::bench
