#include "app/UploadDialog.h"

#include "app/FitPathToWidth.h"
#include "emulator/SamplePrograms.h"
#include "res/StringTable.h"
#include "support/EmulatedCamera.h"
#include "support/RecordedUploadDialogView.h"
#include "support/TempDir.h"
#include "support/TestFrontEnd.h"

#include <gtest/gtest.h>

#include <memory>

namespace oskel {
namespace {

using test::RecordedUploadDialogView;
using D = CUploadDialog;

std::vector<std::string> Texts(const ui::ListModel& list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetCount(); ++i)
        texts.push_back(list.GetText(i));
    return texts;
}

class UploadDialogTest : public ::testing::Test {
protected:
    UploadDialogTest() : settings(dir / "QUIVRAN.INI")
    {
        CCameraConnection::ResetRunFlagsForTest();
        emulator::WriteSamplePrograms(dir / "programs", emulator::SampleSignatures::Plus, nullptr, nullptr);
        settings.WriteProfileString("UploadDialog", "OPFFolder", dir / "programs/");
    }

    std::unique_ptr<CUploadDialog> Open(test::EmulatedCamera& camera)
    {
        auto dialog = std::make_unique<CUploadDialog>(settings, camera.MakeHolder(settings.File()));
        created = dialog->Create(view);
        return dialog;
    }

    emulator::CameraConfig CameraWith(std::vector<std::string> files)
    {
        emulator::CameraConfig config;
        for (const std::string& f : files)
            config.programs.push_back(test::EmulatedCamera::Sample(f));
        return config;
    }

    test::TempDir dir;
    CSettingsStore settings;
    test::TestFrontEnd frontEnd;
    RecordedUploadDialogView view;
    bool created = false;
};

TEST_F(UploadDialogTest, OpensWithBothListsAndTheFixedTexts)
{
    test::EmulatedCamera camera(CameraWith({"CLOCK.FNC", "FRAMES.FNC", "FRAMEA.ATC"}));
    auto dialog = Open(camera);
    ASSERT_TRUE(created);
    EXPECT_TRUE(frontEnd.Boxes().empty());
    EXPECT_EQ(Texts(*view.lists.at(D::IDC_FOLDER_LIST)),
              (std::vector<std::string>{"Frame: Classic", "Frame: Stamp", "Self Timer Plus", "Slide Show",
                                        "Stamp: Hearts", "World Clock"}));
    EXPECT_EQ(Texts(*view.lists.at(D::IDC_CAMERA_LIST)), (std::vector<std::string>{"World Clock", "Frame: Classic"}));
    EXPECT_EQ(view.GetItemText(D::IDC_INFO),
              "Select the desired Applications in Folder and press 'Upload' to transfer them to the camera.  Or, "
              "select the Applications in Camera you no longer need and press 'Remove' to erase them from the "
              "camera.  Use 'Browse...' to select a new folder containing camera applications.");
    EXPECT_EQ(view.infoBackground, 0x0080FFFFu);
    EXPECT_EQ(view.infoText, 0u);
    EXPECT_EQ(view.aboutItems, std::vector<std::string>{"&About OSKEL Program Uploader..."});
    EXPECT_EQ(view.uploadButtonSetUps, 1);
    EXPECT_EQ(view.GetItemText(D::IDC_FOLDER_LABEL),
              FitPathToWidth(dir / "programs/", view.labelWidth,
                             [](std::string_view t) { return static_cast<int>(CountCharacters(t)) * 6; }));
    EXPECT_FALSE(view.IsItemEnabled(D::IDC_UPLOAD));
    EXPECT_FALSE(view.IsItemEnabled(D::IDC_REMOVE));
    EXPECT_FALSE(view.shown) << "the application shows the window";
}

TEST_F(UploadDialogTest, WithoutACameraNoWindowAndNoMessage)
{
    test::EmulatedCamera camera({}, {});
    auto dialog = Open(camera);
    EXPECT_FALSE(created);
    EXPECT_FALSE(view.Exists());
    EXPECT_TRUE(frontEnd.Boxes().empty());
}

TEST_F(UploadDialogTest, LowBatteryIsMentionedAndTheDialogStillOpens)
{
    emulator::CameraConfig config;
    config.battery = 5;
    test::EmulatedCamera camera(config);
    auto dialog = Open(camera);
    ASSERT_TRUE(created);
    ASSERT_EQ(frontEnd.Boxes().size(), 1u);
    EXPECT_EQ(frontEnd.Boxes()[0].text, res::LoadString(res::IDS_BATTERY_LOW));
    EXPECT_EQ(frontEnd.Boxes()[0].type, ui::MB_ICONEXCLAMATION);
}

struct PositionCase {
    const char* name;
    const char* saved; // null: no key
    ui::Rect expected;
};

class UploadDialogPositionTest : public UploadDialogTest, public testing::WithParamInterface<PositionCase> {};

TEST_P(UploadDialogPositionTest, TopLeftFromTheSettingsClampedIntoTheScreen)
{
    if (GetParam().saved != nullptr)
        settings.WriteProfileString("UploadDialog", "AppPosition", GetParam().saved);
    test::EmulatedCamera camera;
    auto dialog = Open(camera);
    ASSERT_TRUE(created);
    EXPECT_EQ(view.rect, GetParam().expected);
}

// The window starts at (100, 80), 482 x 309, on a 1024 x 768 screen.
INSTANTIATE_TEST_SUITE_P(
    Cases, UploadDialogPositionTest,
    testing::Values(PositionCase{"None", nullptr, {100, 80, 582, 389}},
                    PositionCase{"SavedSizeIgnored", "10 20 300 200 1", {10, 20, 492, 329}},
                    PositionCase{"Commas", "10,20,300,200,3", {10, 20, 492, 329}},
                    PositionCase{"FourNumbersIgnored", "10 20 300 200", {100, 80, 582, 389}},
                    PositionCase{"ZeroWidthIgnored", "10 20 0 200 1", {100, 80, 582, 389}},
                    PositionCase{"BeyondRightEdge", "900 700 482 309 1", {542, 459, 1024, 768}},
                    PositionCase{"Negative", "-50 -9 482 309 1", {0, 0, 482, 309}}),
    [](const testing::TestParamInfo<PositionCase>& row) { return std::string(row.param.name); });

TEST_F(UploadDialogTest, ButtonsFollowTheSelections)
{
    test::EmulatedCamera camera(CameraWith({"CLOCK.FNC"}));
    auto dialog = Open(camera);
    ASSERT_TRUE(created);
    view.Select(D::IDC_FOLDER_LIST, {0, 2});
    EXPECT_TRUE(view.IsItemEnabled(D::IDC_UPLOAD));
    EXPECT_FALSE(view.IsItemEnabled(D::IDC_REMOVE));
    view.Select(D::IDC_CAMERA_LIST, {0});
    EXPECT_TRUE(view.IsItemEnabled(D::IDC_REMOVE));
    view.Select(D::IDC_FOLDER_LIST, {});
    EXPECT_FALSE(view.IsItemEnabled(D::IDC_UPLOAD));
    EXPECT_TRUE(view.IsItemEnabled(D::IDC_REMOVE));
    view.Select(D::IDC_CAMERA_LIST, {});
    EXPECT_FALSE(view.IsItemEnabled(D::IDC_REMOVE));
}

TEST_F(UploadDialogTest, UploadAndRemoveRunOnTheSelection)
{
    test::EmulatedCamera camera(CameraWith({"CLOCK.FNC"}));
    auto dialog = Open(camera);
    ASSERT_TRUE(created);
    ui::ListModel& folder = *view.lists.at(D::IDC_FOLDER_LIST);
    view.Select(D::IDC_FOLDER_LIST, {3}); // Slide Show
    ASSERT_EQ(folder.GetText(3), "Slide Show");
    view.Click(D::IDC_UPLOAD);
    EXPECT_EQ(camera.StoredNames(), (std::vector<std::string>{"CLOCK   FNC", "SLIDES  FNC"}));
    EXPECT_EQ(Texts(*view.lists.at(D::IDC_CAMERA_LIST)), (std::vector<std::string>{"World Clock", "Slide Show"}));

    view.Select(D::IDC_CAMERA_LIST, {0});
    frontEnd.Answer(ui::IDYES);
    view.Click(D::IDC_REMOVE);
    EXPECT_EQ(camera.StoredNames(), std::vector<std::string>{"SLIDES  FNC"});
    EXPECT_EQ(Texts(*view.lists.at(D::IDC_CAMERA_LIST)), std::vector<std::string>{"Slide Show"});
    EXPECT_FALSE(view.IsItemEnabled(D::IDC_REMOVE));
    EXPECT_EQ(frontEnd.UnscriptedBoxes(), 0);
}

TEST_F(UploadDialogTest, EnterAndEscapeDoNothingCloseSavesThePosition)
{
    test::EmulatedCamera camera;
    auto dialog = Open(camera);
    ASSERT_TRUE(created);
    view.PressEnter();
    view.PressEscape();
    EXPECT_TRUE(view.Exists());
    EXPECT_FALSE(dialog->IsClosing());
    EXPECT_EQ(settings.GetProfileString("UploadDialog", "AppPosition"), "");

    view.Click(D::IDC_CLOSE);
    EXPECT_TRUE(view.Exists()) << "Close posts the request";
    view.rect = {-8, 30, 474, 339};
    view.showState = ui::SW_SHOWMINIMIZED;
    view.RunPostedCloses();
    EXPECT_FALSE(view.Exists());
    EXPECT_TRUE(dialog->IsClosing());
    EXPECT_EQ(settings.GetProfileString("UploadDialog", "AppPosition"), "-8 30 482 309 2");
}

TEST_F(UploadDialogTest, CloseBoxClosesAtOnce)
{
    test::EmulatedCamera camera;
    auto dialog = Open(camera);
    ASSERT_TRUE(created);
    view.CloseBox();
    EXPECT_FALSE(view.Exists());
    EXPECT_EQ(settings.GetProfileString("UploadDialog", "AppPosition"), "100 80 482 309 1");
}

TEST_F(UploadDialogTest, AboutCommandsReachTheAboutHandler)
{
    struct Counting : CUploadDialog {
        using CUploadDialog::CUploadDialog;
        void OnAbout() override { ++abouts; }
        int abouts = 0;
    };
    test::EmulatedCamera camera;
    Counting dialog(settings, camera.MakeHolder(settings.File()));
    ASSERT_TRUE(dialog.Create(view));
    EXPECT_TRUE(view.MenuCommand(0x0010));
    EXPECT_TRUE(view.MenuCommand(0x0013)); // the low bits are the system's
    EXPECT_TRUE(view.MenuCommand(0xE140));
    EXPECT_FALSE(view.MenuCommand(0xF060)); // SC_CLOSE: default processing
    EXPECT_EQ(dialog.abouts, 3);
}

TEST_F(UploadDialogTest, FolderComesFromTheSettingsWithASeparator)
{
    test::EmulatedCamera camera;
    settings.WriteProfileString("UploadDialog", "OPFFolder", dir / "programs");
    CUploadDialog dialog(settings, camera.MakeHolder(settings.File()));
    EXPECT_EQ(dialog.Folder(), dir / "programs/");

    test::TempDir other;
    test::ScopedEnv noSettings("XDG_CONFIG_HOME", other.Path());
    CSettingsStore empty(other / "QUIVRAN.INI");
    CUploadDialog fresh(empty, camera.MakeHolder(empty.File()));
    EXPECT_EQ(fresh.Folder(), CUploadDialog::DefaultFolder());
    EXPECT_EQ(fresh.Folder().back(), '/');
}

TEST_F(UploadDialogTest, ChosenFolderIsStoredShownAndScanned)
{
    test::EmulatedCamera camera(CameraWith({"CLOCK.FNC"}));
    auto dialog = Open(camera);
    ASSERT_TRUE(created);
    view.Select(D::IDC_FOLDER_LIST, {0});
    dialog->ApplyChosenFolder(dir.Path());
    EXPECT_EQ(dialog->Folder(), dir.Path() + "/");
    EXPECT_EQ(settings.GetProfileString("UploadDialog", "OPFFolder"), dir.Path() + "/");
    EXPECT_EQ(view.lists.at(D::IDC_FOLDER_LIST)->GetCount(), 0);
    EXPECT_FALSE(view.IsItemEnabled(D::IDC_UPLOAD));
    EXPECT_EQ(Texts(*view.lists.at(D::IDC_CAMERA_LIST)), std::vector<std::string>{"World Clock"});
}

} // namespace
} // namespace oskel
