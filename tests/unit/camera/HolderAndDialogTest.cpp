#include "camera/CameraHolder.h"
#include "camera/DlgCameraNotFound.h"
#include "unit/camera/ConnectionFixture.h"
#include "ui/CameraNotFoundView.h"

#include <functional>
#include <memory>

namespace oskel::test {
namespace {

// Records what each pass of the camera-not-found dialog showed and answers
// with the scripted action.
class ScriptedNotFoundView : public ui::ICameraNotFoundView {
public:
    struct Shown {
        std::vector<std::string> ports, speeds;
        std::string port, speed; // the selected texts, "" for none
        std::string reason;
    };
    using Action = std::function<int(ui::ListModel& ports, ui::ListModel& speeds)>;

    ScriptedNotFoundView() { ui::SetCameraNotFoundView(this); }
    ~ScriptedNotFoundView() override { ui::SetCameraNotFoundView(nullptr); }

    int DoModal(ui::ListModel& ports, ui::ListModel& speeds, const ui::CameraNotFoundDetails& details) override
    {
        Shown s;
        for (int i = 0; i < ports.GetCount(); ++i)
            s.ports.push_back(ports.GetText(i));
        for (int i = 0; i < speeds.GetCount(); ++i)
            s.speeds.push_back(speeds.GetText(i));
        s.port = ports.GetText(ports.GetCurSel());
        s.speed = speeds.GetText(speeds.GetCurSel());
        s.reason = details.reason;
        shown.push_back(s);
        if (actions.empty())
            return ui::IDCANCEL;
        Action action = actions.front();
        actions.erase(actions.begin());
        return action(ports, speeds);
    }

    std::vector<Shown> shown;
    std::vector<Action> actions;
};

int SelectText(ui::ListModel& list, const std::string& text)
{
    for (int i = 0; i < list.GetCount(); ++i)
        if (list.GetText(i) == text)
            list.SetCurSel(i);
    return ui::IDOK;
}

class HolderTest : public ConnectionFixture {
protected:
    std::unique_ptr<CCameraHolder> MakeHolder() { return std::make_unique<CCameraHolder>(MakeConnection()); }
    ScriptedNotFoundView view;
};

TEST_F(HolderTest, FixedPortWithoutCameraShowsTheDialogWithTheChoicesPreselected)
{
    Store(kPortKey, 1);
    Store(kSpeedKey, 115200);
    camera.port = 0;
    auto holder = MakeHolder();
    EXPECT_EQ(holder->Acquire(), nullptr);
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.shown[0].port, "COM2");
    EXPECT_EQ(view.shown[0].speed, "115200");
    EXPECT_EQ(line.openAttempts, std::vector<int>{1}); // one attempt only
    EXPECT_FALSE(holder->Connection().IsOpen());
}

TEST_F(HolderTest, ChoosingAnotherPortInTheDialogConnects)
{
    Store(kPortKey, 1);
    Store(kSpeedKey, 115200);
    camera.port = 0;
    view.actions.push_back([](ui::ListModel& ports, ui::ListModel& speeds) {
        SelectText(ports, "COM1");
        return SelectText(speeds, "Auto");
    });
    {
        auto holder = MakeHolder();
        CCameraConnection* c = holder->Acquire();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->GetPort(), 0);
        EXPECT_EQ(c->GetSpeed(), 230400);
        EXPECT_EQ(holder->Acquire(), nullptr); // still in use
        holder->Release();
        EXPECT_EQ(holder->Acquire(), c);
        holder->Release();
        // Only the check of an open link runs under the wait cursor: the
        // first connect failed, and the Acquire while in use checked nothing.
        EXPECT_EQ(frontEnd.WaitCursorBegins(), 1);
        EXPECT_EQ(frontEnd.WaitCursorDepth(), 0);
    }
    // The holder closed the link (close packet) before writing the settings.
    EXPECT_EQ(camera.speed, 19200);
    EXPECT_EQ(Stored(kPortKey), 0);
    EXPECT_EQ(Stored(kSpeedKey), SETTING_AUTO + 230400);
}

TEST_F(HolderTest, CancelGivesUpWithoutTryingTheChosenPort)
{
    camera.present = false;
    Store(kMaxPortKey, 3);
    view.actions.push_back([](ui::ListModel& ports, ui::ListModel&) {
        SelectText(ports, "COM3");
        return ui::IDCANCEL;
    });
    auto holder = MakeHolder();
    const size_t attemptsBefore = line.openAttempts.size();
    EXPECT_EQ(holder->Acquire(), nullptr);
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.shown[0].port, "Auto");
    EXPECT_EQ(view.shown[0].ports, (std::vector<std::string>{"Auto", "COM1", "COM2", "COM3"}));
    EXPECT_EQ(view.shown[0].speeds, (std::vector<std::string>{"Auto", "19200", "38400", "57600", "115200", "230400"}));
    EXPECT_EQ(view.shown[0].reason, "The port opened, but the camera did not answer.");
    // COM1, then the search over three ports; nothing after the Cancel.
    EXPECT_EQ(line.openAttempts.size() - attemptsBefore, 4u);
}

TEST_F(HolderTest, SecondAcquireDuringTheDialogReturnsNull)
{
    camera.present = false;
    auto holder = MakeHolder();
    CCameraConnection* nested = reinterpret_cast<CCameraConnection*>(1);
    view.actions.push_back([&](ui::ListModel&, ui::ListModel&) {
        nested = holder->Acquire();
        return ui::IDCANCEL;
    });
    EXPECT_EQ(holder->Acquire(), nullptr);
    EXPECT_EQ(nested, nullptr);
}

TEST_F(HolderTest, MaxPortZeroOffersOnlyAuto)
{
    Store(kMaxPortKey, 0);
    camera.present = false;
    auto holder = MakeHolder();
    EXPECT_EQ(holder->Acquire(), nullptr);
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.shown[0].ports, std::vector<std::string>{"Auto"});
}

TEST_F(HolderTest, RefusedFamilyShowsTheDialogAndTheChordAdmitsIt)
{
    Store(kPortKey, 0);
    Store(kSpeedKey, 19200);
    camera.texts[27] = "SR42";
    view.actions.push_back([&](ui::ListModel&, ui::ListModel&) {
        frontEnd.SetModifiers(ui::kModCtrl | ui::kModShift);
        return ui::IDOK;
    });
    auto holder = MakeHolder();
    EXPECT_NE(holder->Acquire(), nullptr);
    EXPECT_EQ(view.shown.size(), 1u);
    EXPECT_NE(view.shown[0].reason.find("does not support"), std::string::npos);
}

// The dialog's data exchange, without a connection.
TEST(DlgCameraNotFound, LoadsAndSavesTheChoices)
{
    CDlgCameraNotFound dlg(-1, false);
    dlg.SetPortNames({"COM1", "COM2", "COM3", "COM4"});
    dlg.m_nPortChoice = 2;
    dlg.m_nSpeedChoice = 57600;
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.PortList().GetText(dlg.PortList().GetCurSel()), "COM3");
    EXPECT_EQ(dlg.SpeedList().GetText(dlg.SpeedList().GetCurSel()), "57600");
    EXPECT_EQ(dlg.SpeedList().GetItemData(5), 230400);

    dlg.SpeedList().SetCurSel(0);
    dlg.DoDataExchange(true);
    EXPECT_EQ(dlg.m_nSpeedChoice, -1);
    EXPECT_EQ(dlg.m_nPortChoice, 2);
}

TEST(DlgCameraNotFound, UnofferedValuesLeaveNoSelectionAndSurviveOk)
{
    CDlgCameraNotFound dlg(-1, true);
    dlg.SetPortNames({"COM1", "COM2", "COM3", "COM4"});
    dlg.m_nPortChoice = 7;
    dlg.m_nSpeedChoice = 230400; // not offered on Win32s
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.SpeedList().GetCount(), 5);
    EXPECT_EQ(dlg.PortList().GetCurSel(), -1);
    EXPECT_EQ(dlg.SpeedList().GetCurSel(), -1);
    dlg.DoDataExchange(true);
    EXPECT_EQ(dlg.m_nPortChoice, 7);
    EXPECT_EQ(dlg.m_nSpeedChoice, 230400);
}

TEST(DlgCameraNotFound, AutoIsSelectedForTheAutomaticValue)
{
    CDlgCameraNotFound dlg(-1, false);
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.PortList().GetCount(), 1);
    EXPECT_EQ(dlg.PortList().GetText(dlg.PortList().GetCurSel()), "Auto");
    EXPECT_EQ(dlg.SpeedList().GetText(dlg.SpeedList().GetCurSel()), "Auto");
}

TEST(DlgCameraNotFound, CancelLeavesTheChoicesAlone)
{
    struct CancelAfterChoosing : ui::ICameraNotFoundView {
        int DoModal(ui::ListModel& ports, ui::ListModel&, const ui::CameraNotFoundDetails&) override
        {
            ports.SetCurSel(1);
            return ui::IDCANCEL;
        }
    } view;
    CDlgCameraNotFound dlg(-1, false);
    dlg.SetPortNames({"COM1", "COM2"});
    EXPECT_EQ(dlg.DoModal(view), ui::IDCANCEL);
    EXPECT_EQ(dlg.m_nPortChoice, -1);
}

} // namespace
} // namespace oskel::test
