#include "BitmapPushButton.h"
#include "ColorStatic.h"
#include "ListBox.h"
#include "ProgressWindow.h"
#include "QtFrontEnd.h"
#include "UploadDialogWindow.h"

#include "app/FitPathToWidth.h"
#include "app/UploaderApp.h"
#include "emulator/SamplePrograms.h"
#include "support/EmulatedCamera.h"
#include "support/TempDir.h"
#include "support/TestFrontEnd.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace oskel::qt {
namespace {

using D = CUploadDialog;

QStringList Items(const QListWidget& list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}

void ClickItem(QListWidget& list, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, list.visualItemRect(list.item(row)).center());
}

// The desktop program's start-up against the in-process emulated camera,
// with the Qt windows offscreen and the message boxes answered by a script.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : runtime("XDG_RUNTIME_DIR", dir.Path())
    {
        CCameraConnection::ResetRunFlagsForTest();
        emulator::WriteSamplePrograms(dir / "programs", emulator::SampleSignatures::Plus, nullptr, nullptr);
        CSettingsStore(dir / "QUIVRAN.INI").WriteProfileString("UploadDialog", "OPFFolder", dir / "programs/");
    }

    std::unique_ptr<CUploaderApp> Start(test::EmulatedCamera& camera)
    {
        UploaderAppEnvironment env;
        env.settingsPath = dir / "QUIVRAN.INI";
        env.makeView = [] { return std::make_unique<CUploadDialogWindow>(); };
        env.makeHolder = [&camera](ProfileFile& settings) { return camera.MakeHolder(settings); };
        env.makeDialog = makeDialog;
        auto app = std::make_unique<CUploaderApp>(std::move(env));
        started = app->InitInstance();
        if (started)
            window = static_cast<CUploadDialogWindow*>(app->MainWindow());
        return app;
    }

    CListBox& List(int id) { return *window->Item<CListBox>(id); }
    QAbstractButton& Button(int id) { return *window->Item<QAbstractButton>(id); }
    std::string Setting(const char* key) { return CSettingsStore(dir / "QUIVRAN.INI").GetProfileString("UploadDialog", key); }

    static emulator::CameraConfig Holding(std::vector<std::string> files)
    {
        emulator::CameraConfig config;
        for (const std::string& f : files)
            config.programs.push_back(test::EmulatedCamera::Sample(f));
        return config;
    }

    test::TempDir dir;
    test::ScopedEnv runtime;
    QtFrontEnd qtFrontEnd;
    test::TestFrontEnd script; // message boxes answered from here
    std::function<std::unique_ptr<CUploadDialog>(CSettingsStore&, std::unique_ptr<CCameraHolder>)> makeDialog;
    bool started = false;
    CUploadDialogWindow* window = nullptr;
};

TEST_F(MainWindowTest, OpensOnTheCameraWithBothLists)
{
    test::EmulatedCamera camera(Holding({"CLOCK.FNC", "FRAMES.FNC", "FRAMEA.ATC"}));
    auto app = Start(camera);
    ASSERT_TRUE(started);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("OSKEL Program Uploader"));
    EXPECT_EQ(Items(List(D::IDC_FOLDER_LIST)),
              (QStringList{"Frame: Classic", "Frame: Stamp", "Self Timer Plus", "Slide Show", "Stamp: Hearts",
                           "World Clock"}));
    EXPECT_EQ(Items(List(D::IDC_CAMERA_LIST)), (QStringList{"World Clock", "Frame: Classic"}));
    EXPECT_EQ(List(D::IDC_FOLDER_LIST).selectionMode(), QAbstractItemView::ExtendedSelection);

    auto* panel = window->Item<CColorStatic>(D::IDC_INFO);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->BackColor(), QColor(255, 255, 128));
    EXPECT_EQ(panel->TextColor(), QColor(0, 0, 0));
    EXPECT_TRUE(panel->text().startsWith(QStringLiteral("Select the desired Applications in Folder")));
    EXPECT_TRUE(panel->text().endsWith(QStringLiteral("containing camera applications.")));

    auto* upload = window->Item<CBitmapPushButton>(D::IDC_UPLOAD);
    ASSERT_NE(upload, nullptr);
    EXPECT_FALSE(upload->Face().isNull());
    EXPECT_EQ(upload->size(), upload->Face().size() + QSize(6, 6));
    EXPECT_FALSE(upload->isEnabled());
    EXPECT_FALSE(Button(D::IDC_REMOVE).isEnabled());
    EXPECT_TRUE(Button(D::IDC_BROWSE).isEnabled());
    EXPECT_TRUE(Button(D::IDC_CLOSE).isEnabled());
    EXPECT_TRUE(script.Boxes().empty());
}

TEST_F(MainWindowTest, FolderLabelFitsItsWidth)
{
    std::string deep = dir.Path();
    for (const char* part : {"/a rather long folder name", "/and another one", "/Camera", "/Programs"})
        deep += part;
    std::filesystem::create_directories(deep);
    CSettingsStore(dir / "QUIVRAN.INI").WriteProfileString("UploadDialog", "OPFFolder", deep + "/");
    test::EmulatedCamera camera;
    auto app = Start(camera);
    ASSERT_TRUE(started);
    auto* label = window->Item<QLabel>(D::IDC_FOLDER_LABEL);
    const QString shown = label->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("/.../"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/Programs/"))) << shown.toStdString();
    EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width());
}

TEST_F(MainWindowTest, SelectionsSwitchTheButtons)
{
    test::EmulatedCamera camera(Holding({"CLOCK.FNC"}));
    auto app = Start(camera);
    ASSERT_TRUE(started);
    ClickItem(List(D::IDC_FOLDER_LIST), 1);
    EXPECT_TRUE(Button(D::IDC_UPLOAD).isEnabled());
    ClickItem(List(D::IDC_FOLDER_LIST), 3, Qt::ControlModifier);
    EXPECT_EQ(List(D::IDC_FOLDER_LIST).Model()->GetSelCount(), 2);
    ClickItem(List(D::IDC_FOLDER_LIST), 1, Qt::ControlModifier);
    ClickItem(List(D::IDC_FOLDER_LIST), 3, Qt::ControlModifier);
    EXPECT_FALSE(Button(D::IDC_UPLOAD).isEnabled());

    ClickItem(List(D::IDC_CAMERA_LIST), 0);
    EXPECT_TRUE(Button(D::IDC_REMOVE).isEnabled());
    ClickItem(List(D::IDC_CAMERA_LIST), 0, Qt::ControlModifier);
    EXPECT_FALSE(Button(D::IDC_REMOVE).isEnabled());
}

TEST_F(MainWindowTest, UploadAndRemoveChangeTheCamera)
{
    test::EmulatedCamera camera(Holding({"CLOCK.FNC"}));
    auto app = Start(camera);
    ASSERT_TRUE(started);
    ClickItem(List(D::IDC_FOLDER_LIST), 3); // Slide Show
    QTest::mouseClick(&Button(D::IDC_UPLOAD), Qt::LeftButton);
    EXPECT_EQ(camera.StoredNames(), (std::vector<std::string>{"CLOCK   FNC", "SLIDES  FNC"}));
    EXPECT_EQ(Items(List(D::IDC_CAMERA_LIST)), (QStringList{"World Clock", "Slide Show"}));
    EXPECT_TRUE(window->isEnabled()) << "enabled again once the progress window is gone";

    ClickItem(List(D::IDC_CAMERA_LIST), 0);
    script.Answer(ui::IDYES);
    QTest::mouseClick(&Button(D::IDC_REMOVE), Qt::LeftButton);
    ASSERT_EQ(script.Boxes().size(), 1u);
    EXPECT_EQ(script.Boxes()[0].text, "Are you sure you want to erase the selected programs?");
    EXPECT_EQ(camera.StoredNames(), std::vector<std::string>{"SLIDES  FNC"});
    EXPECT_EQ(Items(List(D::IDC_CAMERA_LIST)), QStringList{"Slide Show"});
    EXPECT_FALSE(Button(D::IDC_REMOVE).isEnabled());
}

TEST_F(MainWindowTest, EnterAndEscapeDoNothing)
{
    test::EmulatedCamera camera(Holding({"CLOCK.FNC"}));
    auto app = Start(camera);
    ASSERT_TRUE(started);
    ClickItem(List(D::IDC_CAMERA_LIST), 0);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(&List(D::IDC_CAMERA_LIST), key);
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(app->MainWindowExists());
    EXPECT_EQ(camera.StoredNames().size(), 1u);
}

TEST_F(MainWindowTest, EnterOnTheFocusedUploadButtonPressesIt)
{
    test::EmulatedCamera camera;
    auto app = Start(camera);
    ASSERT_TRUE(started);
    ClickItem(List(D::IDC_FOLDER_LIST), 3); // Slide Show
    Button(D::IDC_UPLOAD).setFocus();
    QTest::keyPress(&Button(D::IDC_UPLOAD), Qt::Key_Return);
    EXPECT_TRUE(camera.StoredNames().empty()) << "the button acts when the key is released";
    QTest::keyRelease(&Button(D::IDC_UPLOAD), Qt::Key_Return);
    EXPECT_EQ(camera.StoredNames(), std::vector<std::string>{"SLIDES  FNC"});
}

// While a removal asks its question, the window is drawn disabled and what
// the user does to it is dropped for good; a click on Close is kept and
// closes the window once the removal is over.
TEST_F(MainWindowTest, DuringARemovalInputIsDroppedAndACloseIsKeptForItsEnd)
{
    test::EmulatedCamera camera(Holding({"CLOCK.FNC"}));
    auto app = Start(camera);
    ASSERT_TRUE(started);
    QSignalSpy destroyed(window, &CUploadDialogWindow::WindowDestroyed);
    ClickItem(List(D::IDC_CAMERA_LIST), 0);
    bool disabledMeanwhile = false;
    script.whileOpen = [&](const std::string&, unsigned) {
        disabledMeanwhile = !window->isEnabled() && !Button(D::IDC_UPLOAD).isEnabled();
        ClickItem(List(D::IDC_FOLDER_LIST), 3);
        for (int id : {D::IDC_UPLOAD, D::IDC_REMOVE, D::IDC_BROWSE, D::IDC_CLOSE})
            QTest::mouseClick(&Button(id), Qt::LeftButton);
        QTest::keyClick(window, Qt::Key_U, Qt::AltModifier);
        QTest::keyClick(window, Qt::Key_F1);
        QApplication::processEvents();
        EXPECT_TRUE(app->MainWindowExists());
    };
    script.Answer(ui::IDYES);
    QTest::mouseClick(&Button(D::IDC_REMOVE), Qt::LeftButton);
    script.whileOpen = nullptr;
    EXPECT_TRUE(disabledMeanwhile);
    EXPECT_TRUE(camera.StoredNames().empty()) << "the removal ran to its end, and nothing was uploaded";
    ASSERT_TRUE(destroyed.count() == 1 || destroyed.wait(2000));
    EXPECT_EQ(script.Boxes().size(), 1u);
    EXPECT_FALSE(app->MainWindowExists());
}

TEST_F(MainWindowTest, CloseButtonClosesAndSavesThePosition)
{
    CSettingsStore(dir / "QUIVRAN.INI").WriteProfileString("UploadDialog", "AppPosition", "10 20 300 200 1");
    test::EmulatedCamera camera;
    auto app = Start(camera);
    ASSERT_TRUE(started);
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(10, 20));
    window->move(30, 40);
    QSignalSpy destroyed(window, &CUploadDialogWindow::WindowDestroyed);
    QTest::mouseClick(&Button(D::IDC_CLOSE), Qt::LeftButton);
    EXPECT_TRUE(destroyed.isEmpty()) << "Close posts the request";
    ASSERT_TRUE(destroyed.wait(2000));
    EXPECT_FALSE(window->isVisible());
    const QSize size = window->frameGeometry().size();
    EXPECT_EQ(Setting("AppPosition"),
              "30 40 " + std::to_string(size.width()) + " " + std::to_string(size.height()) + " 1");
}

TEST_F(MainWindowTest, CloseRequestFromTheWindowManagerCloses)
{
    test::EmulatedCamera camera;
    auto app = Start(camera);
    ASSERT_TRUE(started);
    QSignalSpy destroyed(window, &CUploadDialogWindow::WindowDestroyed);
    window->EnableWindow(false); // as while a progress window is up
    window->close();
    EXPECT_TRUE(app->MainWindowExists());
    window->EnableWindow(true);
    window->close(); // the close box and Alt+F4 arrive as this
    EXPECT_EQ(destroyed.count(), 1);
    EXPECT_FALSE(app->MainWindowExists());
    EXPECT_NE(Setting("AppPosition"), "");
}

TEST_F(MainWindowTest, AboutIsInTheContextMenuAndOnF1)
{
    struct Counting : CUploadDialog {
        using CUploadDialog::CUploadDialog;
        void OnAbout() override { ++*abouts; }
        int* abouts = nullptr;
    };
    int abouts = 0;
    makeDialog = [&abouts](CSettingsStore& settings, std::unique_ptr<CCameraHolder> holder) {
        auto dialog = std::make_unique<Counting>(settings, std::move(holder));
        dialog->abouts = &abouts;
        return dialog;
    };
    test::EmulatedCamera camera;
    auto app = Start(camera);
    ASSERT_TRUE(started);
    ASSERT_NE(window->WindowMenu(), nullptr);
    const auto actions = window->WindowMenu()->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("&About OSKEL Program Uploader..."));
    actions[0]->trigger();
    EXPECT_EQ(abouts, 1);
    QTest::keyClick(&List(D::IDC_FOLDER_LIST), Qt::Key_F1);
    EXPECT_EQ(abouts, 2);
}

TEST_F(MainWindowTest, SecondInstanceIsRefused)
{
    test::EmulatedCamera camera;
    auto first = Start(camera);
    ASSERT_TRUE(started);
    CUploadDialogWindow* firstWindow = window;
    window = nullptr;
    auto second = Start(camera);
    EXPECT_FALSE(started);
    EXPECT_EQ(window, nullptr);
    ASSERT_EQ(script.Boxes().size(), 1u);
    EXPECT_EQ(script.Boxes()[0].helpId, 1500u);
    EXPECT_EQ(script.Boxes()[0].type, ui::MB_ICONEXCLAMATION);
    EXPECT_TRUE(firstWindow->isVisible());
}

} // namespace
} // namespace oskel::qt
