// While the camera works the windows get a chance to stay alive often: no
// stretch of a long operation goes without the front end's KeepAlive.
#include "protocol/CameraNumbers.h"
#include "protocol/ControlBytes.h"
#include "support/CommFixture.h"
#include "support/CommandFrames.h"
#include "support/MemorySource.h"
#include "ui/MessagePump.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace oskel::test {
namespace {

const char kName[kCameraNameSize] = "PROG    FNC";
// Well inside the five seconds after which a desktop marks a window as not
// responding (one read time-out, or the probe's pause and a read).
constexpr uint32_t kLongestGapMs = 1500;

class RecordingPump final : public ui::IMessagePump {
public:
    explicit RecordingPump(VirtualTimeSource& clock) : m_clock(clock) { ui::SetMessagePump(this); }
    ~RecordingPump() override { ui::SetMessagePump(nullptr); }
    bool RunPending() override { return true; }
    void KeepAlive() override { ticks.push_back(m_clock.TickCount()); }

    uint32_t LongestGap(uint32_t from, uint32_t to) const
    {
        uint32_t gap = 0;
        uint32_t last = from;
        for (uint32_t t : ticks) {
            gap = std::max(gap, t - last);
            last = t;
        }
        return std::max(gap, to - last);
    }

    std::vector<uint32_t> ticks;

private:
    VirtualTimeSource& m_clock;
};

class KeepAliveTest : public CommFixture {
protected:
    void SetUp() override { OpenQuietly(); }
};

struct LongCase {
    const char* name;
    std::function<void()> run;
    uint32_t atLeastMs; // how long the operation keeps the thread
};

TEST_F(KeepAliveTest, LongWaitsForTheCameraKeepTheWindowsAlive)
{
    const LongCase cases[] = {
        {"an erase whose ENQ never comes",
         [this] {
             line.Reply({kACK});
             line.Reply({kACK});
             comm.DeleteProgram(3);
         },
         40000},
        {"an upload: the pause before action 11 and an ENQ that never comes",
         [this] {
             MemorySource source(Filled(100));
             for (int i = 0; i < 3; ++i)
                 line.Reply({kACK});
             comm.UploadProgram(kName, &source);
         },
         15000},
        {"a probe nobody answers", [this] { comm.Resync(1); }, 1200},
    };
    for (const LongCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPump pump(clock);
        const uint32_t start = Now();
        c.run();
        ASSERT_GE(Now() - start, c.atLeastMs);
        EXPECT_LE(pump.LongestGap(start, Now()), kLongestGapMs);
    }
}

} // namespace
} // namespace oskel::test
