// The USB adapter models: when the camera's bytes reach the PC, which
// speeds the port takes, and what a connection makes of them.
#include "camera/ConnectFailureText.h"
#include "camera/CommSettings.h"
#include "emulator/AdapterModel.h"
#include "platform/ProfileFile.h"
#include "support/EmulatedCamera.h"
#include "support/TempDir.h"
#include "support/TestFrontEnd.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {

using emulator::AdapterModel;

AdapterModel Model(const std::string& text)
{
    std::string error;
    const std::optional<AdapterModel> model = AdapterModel::Parse(text, &error);
    EXPECT_TRUE(model.has_value()) << text << ": " << error;
    return model.value_or(AdapterModel::Pty());
}

TEST(AdapterModel, BytesReachThePcWhenTheModelReleasesThem)
{
    struct Case {
        const char* model;
        std::vector<uint64_t> arrivals; // us, one byte each
        std::vector<uint64_t> released; // us, per byte
    };
    std::vector<uint64_t> burst70; // 70 bytes 43 us apart from 100 us
    for (int i = 0; i < 70; ++i)
        burst70.push_back(100 + 43u * static_cast<uint64_t>(i));
    std::vector<uint64_t> ftdiBurst(62, burst70[61]); // a full packet leaves at once...
    ftdiBurst.resize(70, 16000);                      // ...the rest at the tick
    const std::vector<uint64_t> all70(70, 100);       // faster than the USB side takes them
    std::vector<uint64_t> ch341Burst(32, 1000);       // 32 a frame
    ch341Burst.resize(64, 2000);
    ch341Burst.resize(70, 3000);
    const Case cases[] = {
        {"pty", {100, 143}, {100, 143}},
        {"uart16550", {100}, {100}},
        {"ftdi", {100, 143}, {16000, 16000}},
        {"ftdi:1", {100, 999, 1000, 1001}, {1000, 1000, 1000, 2000}},
        {"ftdi", burst70, ftdiBurst},
        {"cp210x", {100, 1500, 1600}, {1000, 2000, 2000}},
        {"ch341", all70, ch341Burst},
        {"pl2303", {2000}, {3000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        AdapterModel model = Model(c.model);
        std::vector<uint64_t> released;
        uint64_t now = 0;
        size_t next = 0;
        while (released.size() < c.arrivals.size() && now < 100000) {
            for (; next < c.arrivals.size() && c.arrivals[next] <= now; ++next)
                model.Arrive(c.arrivals[next], static_cast<uint8_t>(next));
            for (const AdapterModel::Due& d : model.TakeDue(now)) {
                EXPECT_EQ(d.value, released.size());
                released.push_back(d.atUs);
            }
            ++now;
        }
        EXPECT_EQ(released, c.released);
        EXPECT_EQ(model.NextReleaseUs(), UINT64_MAX);
    }
}

TEST(AdapterModel, NamesAndTheirFacts)
{
    EXPECT_EQ(Model("ftdi").LatencyTimerMs(), 16);
    EXPECT_EQ(Model("ftdi:1").LatencyTimerMs(), 1);
    EXPECT_EQ(Model("cp210x").LatencyTimerMs(), -1);
    EXPECT_EQ(Model("uart16550").MaxBps(), 115200);
    EXPECT_EQ(Model("pl2303").MaxBps(), 0);
    for (const char* bad : {"ftdi:0", "ftdi:256", "ftdi:", "ftdi:1x", "usb", ""}) {
        std::string error;
        EXPECT_FALSE(AdapterModel::Parse(bad, &error).has_value()) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

// A connection behind each model, at a fixed speed of 230400 and with the
// speed searched: where it ends and what it tells the user.
TEST(AdapterModel, AConnectionBehindEachModel)
{
    struct Case {
        const char* model;
        int storedSpeed;
        bool connects;
        int speed;
        std::string reason;
    };
    const int kAuto = SETTING_AUTO;
    const Case cases[] = {
        {"pty", 230400, true, 230400, ""},
        {"ftdi", kAuto + 19200, true, 230400, ""},
        {"cp210x", 230400, true, 230400, ""},
        {"uart16550", kAuto + 19200, true, 115200, ""},
        {"uart16550", 230400, false, 0, "COM1 cannot run at 230400 bit/s; its limit is 115200."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " at " << c.storedSpeed);
        CCameraConnection::ResetRunFlagsForTest();
        TempDir dir;
        ProfileFile settings(dir / "QUIVRAN.INI");
        settings.WriteInt(kCommSection, kPortKey, 0);
        settings.WriteInt(kCommSection, kSpeedKey, c.storedSpeed);
        EmulatedCamera camera;
        camera.line.SetAdapter(Model(c.model));
        TestFrontEnd frontEnd;
        CCameraConnection connection(settings, camera.line, camera.clock, camera.platform);
        EXPECT_EQ(connection.Connect() != 0, c.connects);
        if (c.connects) {
            EXPECT_EQ(connection.GetSpeed(), c.speed);
        }
        EXPECT_EQ(DescribeConnectFailure(connection.LastFailure()), c.reason);
        const OpenDiagnostics d = camera.line.GetOpenDiagnostics();
        EXPECT_EQ(d.latencyTimerMs, Model(c.model).LatencyTimerMs());
    }
}

} // namespace
} // namespace oskel::test
