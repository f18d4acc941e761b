#include "AboutWindow.h"
#include "FolderBrowserWindow.h"
#include "InputBoxWindow.h"
#include "QtFrontEnd.h"
#include "UploadDialogWindow.h"
#include "app/UploadDialog.h"
#include "emulator/SamplePrograms.h"
#include "support/EmulatedCamera.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace oskel::qt {
namespace {

// Runs `answer` once `ready` holds (checked every few milliseconds, at most
// for five seconds); closes the modal window when it never does.
void WhenTrue(std::function<bool()> ready, std::function<void()> answer, int triesLeft = 500)
{
    QTimer::singleShot(10, [=] {
        if (ready())
            answer();
        else if (triesLeft > 0)
            WhenTrue(ready, answer, triesLeft - 1);
        else if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "the window never got ready";
            modal->reject();
        }
    });
}

template <class W>
W* ActiveModal()
{
    return dynamic_cast<W*>(QApplication::activeModalWidget());
}

CAboutWindow* VisibleAboutBox()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* about = dynamic_cast<CAboutWindow*>(w); about != nullptr && about->isVisible())
            return about;
    return nullptr;
}

// The main window on the emulated camera, with the whole Qt front end, as
// the program runs it.
class MainWindowCommandsTest : public ::testing::Test {
protected:
    MainWindowCommandsTest() : settings(dir / "QUIVRAN.INI")
    {
        CCameraConnection::ResetRunFlagsForTest();
        emulator::WriteSamplePrograms(dir / "programs", emulator::SampleSignatures::Plus, nullptr, nullptr);
        settings.WriteProfileString("UploadDialog", "OPFFolder", dir / "programs/");
        dialog = std::make_unique<CUploadDialog>(settings, camera.MakeHolder(settings.File()));
    }

    test::TempDir dir;
    CSettingsStore settings;
    QtFrontEnd frontEnd;
    test::EmulatedCamera camera;
    std::unique_ptr<CUploadDialog> dialog;
    CUploadDialogWindow window; // goes before the dialog whose lists it shows
};

TEST_F(MainWindowCommandsTest, AboutFromTheWindowMenuShowsTheCameraAndBlocksTheWindow)
{
    ASSERT_TRUE(dialog->Create(window));
    window.Show();
    ASSERT_NE(window.WindowMenu(), nullptr);
    window.WindowMenu()->actions().first()->trigger();

    CAboutWindow* about = VisibleAboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->Item<QLabel>(1012)->text(), QStringLiteral("Camera Version: EMU 1.00"));
    EXPECT_EQ(about->Item<QLabel>(1013)->text(), QStringLiteral("Camera Id: OSKEL-EMU-000001"));
    EXPECT_EQ(about->Item<QLabel>(1014)->text(), QStringLiteral("Linux edition for OSKEL cameras"));
    EXPECT_TRUE(about->isEnabled()); // not a child of the disabled window
    EXPECT_FALSE(window.isEnabled());
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_EQ(VisibleAboutBox(), nullptr);
    EXPECT_TRUE(window.isEnabled());

    // A second About command makes a second box; the first stays hidden.
    window.WindowMenu()->actions().first()->trigger();
    ASSERT_NE(VisibleAboutBox(), nullptr);
    EXPECT_NE(VisibleAboutBox(), about);
    QTest::mouseClick(VisibleAboutBox()->Item<QPushButton>(1), Qt::LeftButton);
    EXPECT_TRUE(window.isEnabled());
}

TEST_F(MainWindowCommandsTest, BrowseWithNewFolderStoresTheNewFolder)
{
    ASSERT_TRUE(dialog->Create(window));
    window.Show();
    const std::string games = dir / "programs/Games";
    WhenTrue([] { return ActiveModal<CFolderBrowserWindow>() != nullptr; },
             [&] {
                 auto* browser = ActiveModal<CFolderBrowserWindow>();
                 EXPECT_EQ(browser->SelectedPath(), dir / "programs");
                 WhenTrue([] { return ActiveModal<CInputBoxWindow>() != nullptr; },
                          [] {
                              auto* box = ActiveModal<CInputBoxWindow>();
                              box->Item<QLineEdit>(5322)->setText(QStringLiteral("Games"));
                              QTest::mouseClick(box->Item<QPushButton>(1), Qt::LeftButton);
                          });
                 QTest::mouseClick(browser->NewFolderButton(), Qt::LeftButton);
                 WhenTrue([=] { return browser->isVisible() && browser->SelectedPath() == games; },
                          [=] { QTest::mouseClick(browser->OkButton(), Qt::LeftButton); });
             });
    QTest::mouseClick(window.Item<QPushButton>(1006), Qt::LeftButton);

    EXPECT_TRUE(std::filesystem::is_directory(games));
    EXPECT_EQ(settings.GetProfileString("UploadDialog", "OPFFolder"), games + "/");
    EXPECT_NE(window.GetItemText(1000).find("Games/"), std::string::npos);
}

TEST_F(MainWindowCommandsTest, BrowseShowsTheStartingFolderOrNothingWhileFoldersAreRead)
{
    const std::filesystem::path deep = dir / "programs/a/b/c/d/e";
    std::filesystem::create_directories(deep);
    settings.WriteProfileString("UploadDialog", "OPFFolder", deep.string() + "/");
    dialog = std::make_unique<CUploadDialog>(settings, camera.MakeHolder(settings.File()));
    ASSERT_TRUE(dialog->Create(window));
    window.Show();
    int looks = 0;
    bool shown = false;
    // Looks at the tree every few milliseconds while it is being filled:
    // whenever it shows anything, the starting folder is in view.
    std::function<void()> look = [&] {
        auto* browser = ActiveModal<CFolderBrowserWindow>();
        if (browser == nullptr)
            return;
        QTreeView* tree = browser->Tree();
        if (tree->viewport()->isVisible()) {
            shown = true;
            EXPECT_EQ(browser->SelectedPath(), deep.string()) << "look " << looks;
            EXPECT_TRUE(tree->viewport()->rect().intersects(tree->visualRect(tree->currentIndex())))
                << "the tree shows another place than the starting folder, look " << looks;
        }
        if (++looks == 150)
            browser->reject();
        else
            QTimer::singleShot(10, look);
    };
    QTimer::singleShot(0, look);
    QTest::mouseClick(window.Item<QPushButton>(1006), Qt::LeftButton);
    EXPECT_TRUE(shown) << "the tree was never shown";
}

} // namespace
} // namespace oskel::qt
