#include "AboutWindow.h"
#include "FolderBrowserWindow.h"
#include "InputBoxWindow.h"
#include "app/DlgAbout.h"
#include "app/DlgChooseFolder.h"
#include "app/DlgFolderName.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>

namespace oskel::qt {
namespace {

struct OwnerWidget : QWidget, ui::IOwnerWindow {
    void EnableWindow(bool enable) override { setEnabled(enable); }
    bool IsWindowEnabled() const override { return isEnabled(); }
};

// Runs `answer` on the modal window once it is up.
void WhenModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(modal);
    });
}

// Runs `answer` once `ready` holds (checked every few milliseconds, at most
// for five seconds).
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

// Types a name into the input box and presses OK.
void AnswerName(QWidget* window, const QString& name)
{
    auto* box = static_cast<CInputBoxWindow*>(window);
    box->Item<QLineEdit>(CDlgInputBox::IDC_VALUE)->setText(name);
    QTest::mouseClick(box->Item<QPushButton>(1), Qt::LeftButton);
}

TEST(AboutWindow, ShowsTheLinesAndDisablesItsOwnerWhileVisible)
{
    OwnerWidget owner;
    owner.show();
    CDlgAbout about;
    ASSERT_TRUE(about.Create(&owner, std::make_unique<CAboutWindow>()));
    about.SetDlgItemText(CDlgAbout::IDC_CAMERA_VERSION, "Camera Version: 1.07");
    about.SetDlgItemText(CDlgAbout::IDC_CAMERA_INFO, "Camera Id: QV-0042");
    about.ShowWindow();

    auto* window = static_cast<CAboutWindow*>(about.View());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isEnabled()); // not a child of the disabled owner
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("About OSKEL Program Uploader"));
    EXPECT_EQ(window->Item<QLabel>(CDlgAbout::IDC_NOTICE)->text(), QStringLiteral("Linux edition for OSKEL cameras"));
    EXPECT_EQ(window->Item<QLabel>(CDlgAbout::IDC_CAMERA_INFO)->text(), QStringLiteral("Camera Id: QV-0042"));

    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(about.IsWindow()); // hidden, not destroyed
    EXPECT_TRUE(owner.isEnabled());
}

TEST(InputBoxWindow, RefusedNameKeepsTheBoxOpenUntilAGoodOne)
{
    QtInputBoxViewFactory factory;
    ui::SetInputBoxViewFactory(&factory);
    CDlgFolderName box(nullptr, "New Folder");
    int okClicks = 0;
    WhenModal([&](QWidget* window) {
        auto* w = static_cast<CInputBoxWindow*>(window);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("New Folder"));
        EXPECT_EQ(w->Item<QLabel>(CDlgInputBox::IDC_PROMPT)->text(), QStringLiteral("Enter New Folder:"));
        AnswerName(w, QStringLiteral("a:b"));
        ++okClicks;
        EXPECT_EQ(QApplication::activeModalWidget(), w); // still open
        AnswerName(w, QStringLiteral("Games"));
        ++okClicks;
    });
    EXPECT_EQ(box.DoModal(), ui::IDOK);
    EXPECT_EQ(okClicks, 2);
    EXPECT_EQ(box.m_strValue, "Games");
    ui::SetInputBoxViewFactory(nullptr);
}

TEST(FolderBrowserWindow, NewFolderReopensTheTreeAtTheNewFolder)
{
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString();
    std::filesystem::create_directory(base + "/Programs");
    QtInputBoxViewFactory names;
    ui::SetInputBoxViewFactory(&names);
    CFolderBrowserWindow browser;
    CDlgChooseFolder chooser(nullptr, base + "/Programs/", 6);
    chooser.m_strPrompt = "Choose a folder where application files may be found:";

    WhenModal([&](QWidget* window) {
        ASSERT_EQ(window, &browser);
        EXPECT_EQ(browser.SelectedPath(), base + "/Programs");
        EXPECT_TRUE(browser.NewFolderButton()->isEnabled());
        EXPECT_EQ(browser.NewFolderButton()->text(), QStringLiteral("New Folder"));
        WhenModal([](QWidget* box) { AnswerName(box, QStringLiteral("Games")); });
        QTest::mouseClick(browser.NewFolderButton(), Qt::LeftButton);
        // The browser closes and reopens with the new folder selected.
        WhenTrue([&] { return browser.isVisible() && browser.SelectedPath() == base + "/Programs/Games"; },
                 [&] { QTest::mouseClick(browser.OkButton(), Qt::LeftButton); });
    });
    ASSERT_EQ(chooser.DoModal(browser), ui::IDOK);
    EXPECT_EQ(chooser.GetFolder(true), base + "/Programs/Games/");
    EXPECT_TRUE(std::filesystem::is_directory(base + "/Programs/Games"));
    ui::SetInputBoxViewFactory(nullptr);
}

} // namespace
} // namespace oskel::qt
