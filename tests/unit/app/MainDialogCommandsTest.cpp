#include "app/UploadDialog.h"

#include "emulator/SamplePrograms.h"
#include "support/AsOrdinaryUser.h"
#include "support/EmulatedCamera.h"
#include "support/RecordedUploadDialogView.h"
#include "support/TempDir.h"
#include "support/TestFrontEnd.h"
#include "unit/app/DialogScripts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace oskel::test {
namespace {

using D = CUploadDialog;
using Action = BrowserScript::Action;

emulator::CameraConfig WithClockProgram()
{
    emulator::CameraConfig config;
    config.programs.push_back(EmulatedCamera::Sample("CLOCK.FNC"));
    return config;
}

// Browse and About, run from the main dialog's buttons and menu.
class MainDialogCommandsTest : public ::testing::Test {
protected:
    MainDialogCommandsTest() : settings(dir / "QUIVRAN.INI")
    {
        CCameraConnection::ResetRunFlagsForTest();
        emulator::WriteSamplePrograms(dir / "programs", emulator::SampleSignatures::Plus, nullptr, nullptr);
        std::filesystem::create_directory(dir / "empty");
        settings.WriteProfileString("UploadDialog", "OPFFolder", dir / "programs/");
        dialog = std::make_unique<CUploadDialog>(settings, camera.MakeHolder(settings.File()));
        created = dialog->Create(view);
    }

    TempDir dir;
    CSettingsStore settings;
    TestFrontEnd frontEnd;
    EmulatedCamera camera{WithClockProgram()};
    RecordedUploadDialogView view;
    BrowserScript browser;
    BrowserScript::Installed installed{browser};
    std::unique_ptr<CUploadDialog> dialog;
    bool created = false;
};

TEST_F(MainDialogCommandsTest, BrowseStoresTheFolderWithASeparatorAndRefreshesOnlyTheFolderList)
{
    ASSERT_TRUE(created);
    ui::ListModel& cameraList = *view.lists.at(D::IDC_CAMERA_LIST);
    ASSERT_GT(cameraList.GetCount(), 0);
    view.Select(D::IDC_CAMERA_LIST, {0}); // a refill would drop it
    browser.steps = {{Action::Select, dir / "empty"}, {Action::OK, {}}};
    view.Click(D::IDC_BROWSE);

    ASSERT_EQ(browser.runs.size(), 1u);
    EXPECT_EQ(browser.runs[0].owner, &view);
    EXPECT_EQ(browser.runs[0].selections, std::vector<std::string>{dir / "programs"});
    EXPECT_EQ(browser.runs[0].title, "Choose a folder where application files may be found:");
    EXPECT_EQ(settings.GetProfileString("UploadDialog", "OPFFolder"), dir / "empty/");
    EXPECT_EQ(dialog->Folder(), dir / "empty/");
    EXPECT_NE(view.GetItemText(D::IDC_FOLDER_LABEL).find("empty/"), std::string::npos);
    EXPECT_EQ(view.lists.at(D::IDC_FOLDER_LIST)->GetCount(), 0);
    EXPECT_EQ(cameraList.GetSelCount(), 1);
}

TEST_F(MainDialogCommandsTest, BrowseToTheRootStoresASlashAndCancelChangesNothing)
{
    ASSERT_TRUE(created);
    browser.steps = {{Action::Select, "/"}, {Action::OK, {}}};
    view.Click(D::IDC_BROWSE);
    EXPECT_EQ(settings.GetProfileString("UploadDialog", "OPFFolder"), "/");

    const std::string label = view.GetItemText(D::IDC_FOLDER_LABEL);
    const int listed = view.lists.at(D::IDC_FOLDER_LIST)->GetCount();
    browser.steps = {{Action::Select, dir / "empty"}, {Action::Cancel, {}}};
    view.Click(D::IDC_BROWSE);
    EXPECT_EQ(settings.GetProfileString("UploadDialog", "OPFFolder"), "/");
    EXPECT_EQ(dialog->Folder(), "/");
    EXPECT_EQ(view.GetItemText(D::IDC_FOLDER_LABEL), label);
    EXPECT_EQ(view.lists.at(D::IDC_FOLDER_LIST)->GetCount(), listed);
}

TEST_F(MainDialogCommandsTest, AnUnreadableFolderIsToldWithItsReasonAndTheFolderKept)
{
    ASSERT_TRUE(created);
    const std::filesystem::path locked = dir / "locked";
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::all);
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const int listed = view.lists.at(D::IDC_FOLDER_LIST)->GetCount();
    const size_t boxesBefore = frontEnd.Boxes().size();
    browser.steps = {{Action::Select, locked}, {Action::OK, {}}};
    {
        AsOrdinaryUser nobody;
        view.Click(D::IDC_BROWSE);
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);

    ASSERT_EQ(frontEnd.Boxes().size(), boxesBefore + 1);
    EXPECT_EQ(frontEnd.Boxes().back().text, "The folder " + (locked / "").string() + " cannot be read: Permission denied.");
    EXPECT_EQ(settings.GetProfileString("UploadDialog", "OPFFolder"), dir / "programs/");
    EXPECT_EQ(dialog->Folder(), dir / "programs/");
    EXPECT_EQ(view.lists.at(D::IDC_FOLDER_LIST)->GetCount(), listed);
}

TEST_F(MainDialogCommandsTest, AboutFromTheMenuOpensABoxOverTheDisabledMainDialog)
{
    ASSERT_TRUE(created);
    struct Factory : ui::IAboutViewFactory {
        Factory() { ui::SetAboutViewFactory(this); }
        ~Factory() override { ui::SetAboutViewFactory(nullptr); }
        std::unique_ptr<ui::IAboutView> CreateAboutView() override
        {
            auto view = std::make_unique<ui::RecordedAboutView>();
            views.push_back(view.get());
            return view;
        }
        std::vector<ui::RecordedAboutView*> views;
    } windows;
    EXPECT_TRUE(view.MenuCommand(D::IDM_ABOUTBOX));
    ASSERT_EQ(windows.views.size(), 1u);
    EXPECT_EQ(windows.views[0]->Owner(), &view);
    EXPECT_EQ(windows.views[0]->ItemText(1013), "Camera Id: OSKEL-EMU-000001");
    EXPECT_EQ(windows.views[0]->ItemText(1012), "Camera Version: EMU 1.00");
    EXPECT_FALSE(view.windowEnabled);
    windows.views[0]->PressOK();
    EXPECT_TRUE(view.windowEnabled);
}

// Whatever reaches the dialog while a removal waits for its Yes/No answer:
// every other command is refused, nothing of it runs afterwards, and only a
// close request is kept, to close the window once the removal is over.
TEST_F(MainDialogCommandsTest, DuringACommandOthersAreRefusedAndOnlyACloseIsKeptForItsEnd)
{
    ASSERT_TRUE(created);
    struct Case {
        const char* name;
        std::function<void(RecordedUploadDialogView&)> meanwhile;
        bool closedAfter;
    };
    const Case cases[] = {
        {"commands, keys and menu",
         [](RecordedUploadDialogView& v) {
             v.Select(D::IDC_FOLDER_LIST, {0});
             v.Click(D::IDC_UPLOAD);
             v.Click(D::IDC_REMOVE);
             v.Click(D::IDC_BROWSE);
             EXPECT_TRUE(v.MenuCommand(D::IDM_ABOUTBOX));
             v.PressEnter();
             v.PressEscape();
             v.RunPostedCloses();
         },
         false},
        {"close box", [](RecordedUploadDialogView& v) { v.CloseBox(); }, true},
        {"Close button",
         [](RecordedUploadDialogView& v) {
             v.Click(D::IDC_CLOSE);
             v.RunPostedCloses();
         },
         true},
        {"close posted before", [](RecordedUploadDialogView& v) { v.RunPostedCloses(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCameraConnection::ResetRunFlagsForTest();
        EmulatedCamera clockCamera{WithClockProgram()};
        RecordedUploadDialogView window;
        CUploadDialog main(settings, clockCamera.MakeHolder(settings.File()));
        ASSERT_TRUE(main.Create(window));
        if (std::string(c.name) == "close posted before")
            window.postedCloses = 1;
        bool busyMeanwhile = false;
        frontEnd.whileOpen = [&](const std::string&, unsigned) {
            busyMeanwhile = window.windowBusy;
            c.meanwhile(window);
            EXPECT_TRUE(window.Exists());
        };
        window.Select(D::IDC_CAMERA_LIST, {0});
        frontEnd.Answer(ui::IDYES);
        window.Click(D::IDC_REMOVE);
        frontEnd.whileOpen = nullptr;

        EXPECT_TRUE(busyMeanwhile);
        EXPECT_FALSE(window.windowBusy);
        EXPECT_TRUE(clockCamera.StoredNames().empty()) << "the removal was not finished";
        EXPECT_EQ(browser.runs.size(), 0u);
        EXPECT_EQ(frontEnd.PendingAnswers(), 0u);
        EXPECT_EQ(window.Exists(), !c.closedAfter);
        EXPECT_EQ(window.postedCloses, 0);
    }
}

} // namespace
} // namespace oskel::test
