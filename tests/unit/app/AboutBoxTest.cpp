#include "app/DlgAbout.h"
#include "camera/CameraHolder.h"
#include "ui/CameraNotFoundView.h"
#include "unit/app/DialogScripts.h"
#include "unit/camera/ConnectionFixture.h"

#include <memory>

namespace oskel::test {
namespace {

// Hands out recorded About windows and keeps a pointer to each.
struct RecordedAboutFactory : ui::IAboutViewFactory {
    RecordedAboutFactory() { ui::SetAboutViewFactory(this); }
    ~RecordedAboutFactory() override { ui::SetAboutViewFactory(nullptr); }
    std::unique_ptr<ui::IAboutView> CreateAboutView() override
    {
        auto view = std::make_unique<ui::RecordedAboutView>();
        views.push_back(view.get());
        return view;
    }
    std::vector<ui::RecordedAboutView*> views;
};

class AboutBoxTest : public ConnectionFixture {
protected:
    AboutBoxTest()
    {
        Store(kPortKey, 0);
        Store(kSpeedKey, 19200);
        camera.texts[22] = "QV-0042 \t ";
        camera.texts[26] = "Firmware 1.07   ";
        holder = std::make_unique<CCameraHolder>(MakeConnection());
    }

    std::unique_ptr<CCameraHolder> holder;
    RecordedAboutFactory windows;
    FakeOwner mainDialog;
    AboutBoxes boxes;
};

TEST_F(AboutBoxTest, ConnectedCameraShowsVersionAboveIdWithoutTrailingBlanks)
{
    ShowAboutBox(*holder, &mainDialog, boxes);
    ASSERT_EQ(windows.views.size(), 1u);
    ui::RecordedAboutView& box = *windows.views[0];
    EXPECT_EQ(box.Painted().at(CDlgAbout::IDC_CAMERA_INFO), "Getting camera information...");
    EXPECT_EQ(box.ItemText(CDlgAbout::IDC_CAMERA_VERSION), "Camera Version: Firmware 1.07");
    EXPECT_EQ(box.ItemText(CDlgAbout::IDC_CAMERA_INFO), "Camera Id: QV-0042");
    EXPECT_EQ(box.Owner(), &mainDialog);
    EXPECT_FALSE(holder->InUse()); // released at once

    EXPECT_FALSE(mainDialog.enabled);
    box.PressOK();
    EXPECT_TRUE(mainDialog.enabled);
}

TEST_F(AboutBoxTest, CameraOffAndCancelledSaysNotConnected)
{
    camera.present = false;
    ShowAboutBox(*holder, &mainDialog, boxes);
    ui::RecordedAboutView& box = *windows.views[0];
    EXPECT_EQ(box.ItemText(CDlgAbout::IDC_CAMERA_INFO), "The camera is not connected.");
    EXPECT_EQ(box.ItemText(CDlgAbout::IDC_CAMERA_VERSION), "");
    EXPECT_TRUE(box.IsVisible());
}

TEST_F(AboutBoxTest, EachCommandMakesANewBoxThatContactsTheCameraAgain)
{
    ShowAboutBox(*holder, &mainDialog, boxes);
    windows.views[0]->PressOK();
    const size_t framesAfterFirst = line.frames.size();
    camera.texts[22] = "QV-0043";
    ShowAboutBox(*holder, &mainDialog, boxes);

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_GT(line.frames.size(), framesAfterFirst);
    EXPECT_FALSE(windows.views[0]->IsVisible()); // hidden, not reused
    EXPECT_EQ(windows.views[0]->ItemText(CDlgAbout::IDC_CAMERA_INFO), "Camera Id: QV-0042");
    EXPECT_EQ(windows.views[1]->ItemText(CDlgAbout::IDC_CAMERA_INFO), "Camera Id: QV-0043");
    EXPECT_FALSE(mainDialog.enabled);
}

TEST_F(AboutBoxTest, BoxGoneWhileTheCameraIsContactedIsLeftAlone)
{
    // The window goes while the camera-not-found dialog runs in front of it.
    struct ClosingView : ui::ICameraNotFoundView {
        explicit ClosingView(RecordedAboutFactory& w) : windows(w) { ui::SetCameraNotFoundView(this); }
        ~ClosingView() override { ui::SetCameraNotFoundView(nullptr); }
        int DoModal(ui::ListModel&, ui::ListModel&, const ui::CameraNotFoundDetails&) override
        {
            windows.views.back()->DestroyWindow();
            return ui::IDCANCEL;
        }
        RecordedAboutFactory& windows;
    } notFound(windows);
    camera.present = false;
    ShowAboutBox(*holder, &mainDialog, boxes);
    EXPECT_EQ(windows.views[0]->ItemText(CDlgAbout::IDC_CAMERA_INFO), "Getting camera information...");
    EXPECT_TRUE(mainDialog.enabled);
}

} // namespace
} // namespace oskel::test
