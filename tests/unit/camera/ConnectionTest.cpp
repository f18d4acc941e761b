#include "camera/ConnectFailureText.h"
#include "protocol/ControlBytes.h"
#include "unit/camera/ConnectionFixture.h"

namespace oskel::test {
namespace {

class ConnectionTest : public ConnectionFixture {};

TEST_F(ConnectionTest, FirstRunSearchesThePortsAndClimbsToTheTop)
{
    camera.port = 2;
    {
        auto c = MakeConnection();
        EXPECT_EQ(CCameraConnection::PortNames().size(), 9u);
        EXPECT_EQ(CCameraConnection::PortNames()[8], "COM9");
        EXPECT_TRUE(c->Connect());
        EXPECT_EQ(c->GetPort(), 2);
        EXPECT_EQ(c->GetSpeed(), 230400);
        EXPECT_EQ(camera.speed, 230400);
        EXPECT_EQ(c->GetPortChoice(), -1);
        EXPECT_EQ(c->GetSpeedChoice(), -1);
        c->Close();
    }
    // COM1 first at 19200, then the search from COM1.
    EXPECT_EQ(line.openAttempts, (std::vector<int>{0, 0, 1, 2}));
    EXPECT_EQ(Stored(kPortKey), SETTING_AUTO + 2);
    EXPECT_EQ(Stored(kSpeedKey), SETTING_AUTO + 230400);
    EXPECT_EQ(Stored(kCameraKey), 82);
}

TEST_F(ConnectionTest, StoredAutomaticSpeedThatWorksOnlyTriesTheRungsAbove)
{
    Store(kPortKey, 0);
    Store(kSpeedKey, SETTING_AUTO + 115200);
    auto c = MakeConnection();
    EXPECT_TRUE(c->Connect());
    EXPECT_EQ(c->GetSpeed(), 230400);
    // 115200 at once, then one step up.
    EXPECT_EQ(camera.speedChanges, 2);
    EXPECT_EQ(line.openAttempts, std::vector<int>{0});
}

TEST_F(ConnectionTest, StoredAutomaticSpeedThatFailsClimbsAgainFrom19200)
{
    Store(kPortKey, 0);
    Store(kSpeedKey, SETTING_AUTO + 115200);
    camera.fastest = 57600;
    {
        auto c = MakeConnection();
        EXPECT_TRUE(c->Connect());
        EXPECT_EQ(c->GetSpeed(), 57600);
        EXPECT_EQ(camera.speed, 57600);
        c->Close();
    }
    EXPECT_EQ(Stored(kSpeedKey), SETTING_AUTO + 57600);
    EXPECT_EQ(Stored(kPortKey), 0);
}

TEST_F(ConnectionTest, StoredSpeedOutsideTheSixIsKeptButNotUsed)
{
    Store(kPortKey, 0);
    Store(kSpeedKey, 14400);
    {
        auto c = MakeConnection();
        EXPECT_TRUE(c->Connect());
        EXPECT_EQ(c->GetSpeed(), 19200);
        c->Close();
    }
    EXPECT_EQ(Stored(kSpeedKey), 14400);
}

TEST_F(ConnectionTest, StoredPortOutsideTheListOpensTheFirstPortAndBecomesAutomatic)
{
    struct Case {
        int stored;
        int cameraPort;
        int written;
    };
    for (const Case& k : std::vector<Case>{{12, 0, SETTING_AUTO},
                                           {-1, 0, SETTING_AUTO},
                                           {SETTING_AUTO + 9, 0, SETTING_AUTO},
                                           {SETTING_AUTO + 12, 2, SETTING_AUTO + 2}}) {
        Store(kPortKey, k.stored);
        Store(kSpeedKey, 19200);
        camera.port = k.cameraPort;
        {
            auto c = MakeConnection();
            EXPECT_TRUE(c->Connect()) << k.stored;
            EXPECT_EQ(c->GetPort(), k.cameraPort) << k.stored;
            c->Close();
        }
        EXPECT_EQ(Stored(kPortKey), k.written) << k.stored;
    }
}

TEST_F(ConnectionTest, Win32sKeepsFourPortsAndStopsAt57600)
{
    platform.version = {true, kPlatformWin32s, 3};
    camera.port = 3;
    auto c = MakeConnection();
    EXPECT_EQ(CCameraConnection::PortNames().size(), 4u);
    EXPECT_TRUE(c->Connect());
    EXPECT_EQ(c->GetSpeed(), 57600);
}

TEST_F(ConnectionTest, MaxPortZeroMakesTheSearchFailAtOnce)
{
    Store(kMaxPortKey, 0);
    camera.port = 1;
    auto c = MakeConnection();
    EXPECT_TRUE(CCameraConnection::PortNames().empty());
    EXPECT_FALSE(c->Connect());
    EXPECT_EQ(line.openAttempts, std::vector<int>{0}); // the stored COM1 only
}

TEST_F(ConnectionTest, FamiliesAreAdmittedByTheirRules)
{
    Store(kPortKey, 0);
    Store(kSpeedKey, 19200);
    auto c = MakeConnection();
    camera.texts[27] = "SR52";
    EXPECT_TRUE(c->Connect());
    EXPECT_EQ(Stored(kCameraKey), 52);
    c->Close();

    camera.texts[27] = "SR22 older";
    EXPECT_FALSE(c->Connect());
    EXPECT_FALSE(c->IsOpen());
    EXPECT_EQ(c->LastFailure().kind, ConnectFailure::Refused);
    EXPECT_EQ(Stored(kCameraKey), 52); // not written for older families

    frontEnd.SetModifiers(ui::kModCtrl); // only half the chord
    EXPECT_FALSE(c->Connect());
    frontEnd.SetModifiers(ui::kModCtrl | ui::kModShift);
    EXPECT_TRUE(c->Connect());
    EXPECT_TRUE(CCameraConnection::OlderModelsAccepted());
    c->Close();
    frontEnd.SetModifiers(0);
    EXPECT_TRUE(c->Connect()); // for the rest of the run
    c->Close();

    camera.texts[27] = "XYZ";
    frontEnd.SetModifiers(ui::kModCtrl | ui::kModShift);
    EXPECT_FALSE(c->Connect());
    frontEnd.SetModifiers(ui::kModCtrl | ui::kModShift | ui::kModAlt);
    EXPECT_TRUE(c->Connect());
    EXPECT_TRUE(CCameraConnection::UnknownModelsAccepted());
    c->Close();

    // "SR35" now reads as family 4.
    camera.texts[27] = "SR35";
    frontEnd.SetModifiers(0);
    EXPECT_TRUE(c->Connect());
    EXPECT_EQ(Stored(kCameraKey), 52);
}

TEST_F(ConnectionTest, BatteryLevels)
{
    Store(kPortKey, 0);
    Store(kSpeedKey, 19200);
    auto c = MakeConnection();
    ASSERT_TRUE(c->Connect());
    for (auto [level, ok] : std::vector<std::pair<int, bool>>{{0, true}, {1, false}, {20, false}, {21, true},
                                                              {-1, false}, {-50, false}, {100, true}}) {
        camera.registers[16] = level;
        EXPECT_EQ(c->IsBatteryOk() != 0, ok) << level;
    }
    camera.registers.erase(16); // failed read
    EXPECT_FALSE(c->IsBatteryOk());
}

TEST_F(ConnectionTest, CheckAliveReconnectsWithTheSameChoices)
{
    Store(kPortKey, 0);
    Store(kSpeedKey, SETTING_AUTO + 19200);
    auto c = MakeConnection();
    ASSERT_TRUE(c->Connect());
    camera.registers[1] = 255; // looks like no answer
    EXPECT_FALSE(c->CheckAlive(0));
    camera.registers[1] = 3;
    EXPECT_TRUE(c->CheckAlive(0));

    camera.present = false;
    EXPECT_FALSE(c->CheckAlive(1));
    camera.present = true;
    camera.speed = 19200; // switched off and on again
    EXPECT_TRUE(c->CheckAlive(1));
    EXPECT_EQ(c->GetSpeed(), 230400);
}

TEST_F(ConnectionTest, FailuresSayWhy)
{
    Store(kPortKey, 4);
    Store(kSpeedKey, 19200);
    auto c = MakeConnection();
    line.SetOpenablePorts({});
    line.SetOpenRefusal(OpenError::PermissionDenied);
    EXPECT_FALSE(c->Connect());
    EXPECT_EQ(c->LastFailure().kind, ConnectFailure::NoPort);
    EXPECT_EQ(c->LastFailure().open.kind, OpenError::PermissionDenied);
    EXPECT_NE(DescribeConnectFailure(c->LastFailure()).find("Permission denied"), std::string::npos);

    line.SetOpenablePorts({4});
    EXPECT_FALSE(c->Connect());
    EXPECT_EQ(c->LastFailure().kind, ConnectFailure::Silent);
    EXPECT_EQ(DescribeConnectFailure(c->LastFailure()), "The port opened, but the camera did not answer.");
}

// The group is named only when it may read and write the device, and never
// when it is root; otherwise who may use the device, and the udev rule.
TEST(ConnectFailureText, PermissionAdviceNamesAGroupOnlyWhenJoiningItHelps)
{
    struct Case {
        DeviceAccess access;
        std::string advice; // "" : the text below must not name a group to join
        std::string who;
    } cases[] = {
        {{"root", "dialout", 20, 0660}, " It belongs to the group \"dialout\": add yourself with \"sudo usermod -aG "
                                        "dialout ann\", then log out and in again.", ""},
        {{"root", "uucp", 14, 0660}, "sudo usermod -aG uucp ann", ""},
        {{"root", "root", 0, 0600}, "", "Only root may open it (mode 0600)"},
        {{"root", "root", 0, 0660}, "", "Only root and the members of the group root may open it (mode 0660)"},
        {{"root", "tty", 5, 0620}, "", "Only root may open it (mode 0620)"},
        {{"root", "dialout", 20, 0600}, "", "Only root may open it (mode 0600)"},
    };
    for (const Case& c : cases) {
        const std::string text = PermissionAdvice(c.access, "ann");
        SCOPED_TRACE(text);
        if (!c.advice.empty()) {
            EXPECT_NE(text.find(c.advice), std::string::npos);
            continue;
        }
        EXPECT_EQ(text.find("usermod"), std::string::npos);
        EXPECT_TRUE(text.starts_with(" " + c.who + ": a udev rule can give it to a group you are in"));
    }
    ConnectFailure f;
    f.kind = ConnectFailure::NoPort;
    f.open = OpenError{OpenError::InUse, "/dev/ttyUSB0", 16};
    EXPECT_EQ(DescribeConnectFailure(f), "/dev/ttyUSB0 is in use by another program.");
}

// A line whose adapter was pulled out: no port opens since.
struct UnpluggedLine : ScriptedLine {
    using ScriptedLine::ScriptedLine;
    OpenDiagnostics GetOpenDiagnostics() const override
    {
        OpenDiagnostics d = ScriptedLine::GetOpenDiagnostics();
        d.unplugged = true;
        return d;
    }
};

TEST_F(ConnectionFixture, AnUnpluggedAdapterIsToldAsSuch)
{
    UnpluggedLine unplugged(clock);
    unplugged.SetOpenablePorts({});
    Store(kPortKey, 0);
    Store(kSpeedKey, 19200);
    CCameraConnection c(settings, unplugged, clock, platform);
    EXPECT_FALSE(c.Connect());
    EXPECT_EQ(DescribeConnectFailure(c.LastFailure()), "The serial adapter was unplugged.");
}

TEST(ConnectFailureText, ReasonsTheUserCanMendAndDeviceNamesKeptAsText)
{
    struct Case {
        ConnectFailure::Kind kind;
        OpenError::Kind open;
        bool fixable;
    } cases[] = {
        {ConnectFailure::NoPort, OpenError::PermissionDenied, true}, {ConnectFailure::NoPort, OpenError::InUse, true},
        {ConnectFailure::NoPort, OpenError::NoDevice, true},         {ConnectFailure::NoPort, OpenError::NotSerial, true},
        {ConnectFailure::NoPort, OpenError::Other, false},           {ConnectFailure::Silent, OpenError::None, false},
        {ConnectFailure::Refused, OpenError::None, false},           {ConnectFailure::None, OpenError::None, false},
    };
    for (const Case& c : cases) {
        ConnectFailure f;
        f.kind = c.kind;
        f.open.kind = c.open;
        EXPECT_EQ(IsUserFixable(f), c.fixable) << c.kind << "/" << c.open;
    }
    ConnectFailure f;
    f.kind = ConnectFailure::NoPort;
    f.open = OpenError{OpenError::NoDevice, "/dev/ttyS%s%d", 2};
    EXPECT_EQ(DescribeConnectFailure(f), "No such device: /dev/ttyS%s%d.");
}

} // namespace
} // namespace oskel::test
