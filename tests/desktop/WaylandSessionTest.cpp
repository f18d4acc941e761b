// The desktop program as a native Wayland client, run by wayland-session.sh
// under a headless compositor against a camera-emulator process: the main
// window, the About box, the folder chooser, an upload with its progress
// window and message box, a removal with its question, and the close.
// Every window other than the main one must be transient for the window it
// belongs to: on Wayland that is the only way a dialog gets placed over its
// owner, since a client cannot place its own windows.
#include "AboutWindow.h"
#include "FolderBrowserWindow.h"
#include "QtFrontEnd.h"
#include "UploadDialogWindow.h"

#include "app/SettingsStore.h"
#include "platform/ProfileFile.h"
#include "app/UploaderApp.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace oskel::qt {
namespace {

// Every top-level window that is shown: its kind and the kind of the
// window it was made transient for ("" for none). Windows come and go, so
// only names are kept.
struct ShownWindow {
    std::string kind;
    std::string owner;
};

std::string KindOfWindow(const QWindow* handle)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (handle != nullptr && w->windowHandle() == handle)
            return w->metaObject()->className();
    return {};
}

class ShownWindows : public QObject {
public:
    std::vector<ShownWindow> shown;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* w = qobject_cast<QWidget*>(object);
        if (event->type() == QEvent::Show && w != nullptr && w->isWindow() && w->windowHandle() != nullptr &&
            (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog))
            shown.push_back({w->metaObject()->className(), KindOfWindow(w->windowHandle()->transientParent())});
        return false;
    }
};

// Answers each message box as it comes up (Yes, else its default button)
// and keeps their texts.
class MessageBoxAnswerer : public QObject {
public:
    std::vector<std::string> texts;

    MessageBoxAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Answer(); });
        m_timer.start(20);
    }

private:
    void Answer()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        texts.push_back(box->text().toStdString());
        QAbstractButton* yes = box->button(QMessageBox::Yes);
        QTest::mouseClick(yes != nullptr ? yes : box->defaultButton(), Qt::LeftButton);
    }
    QTimer m_timer;
};

void Select(QListWidget& list, const QString& text, Qt::KeyboardModifiers modifiers = {})
{
    const QList<QListWidgetItem*> found = list.findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, list.visualItemRect(found[0]).center());
}

TEST(WaylandSession, EveryWindowOpensOverItsOwnerAndTheProgramClosesCleanly)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
    ShownWindows windows;
    qApp->installEventFilter(&windows);
    QtFrontEnd frontEnd;
    UploaderAppEnvironment environment;
    environment.makeView = [] { return std::make_unique<CUploadDialogWindow>(); };
    CUploaderApp uploader(std::move(environment));
    ASSERT_TRUE(uploader.InitInstance()) << "no camera on the emulator's link";
    auto* main = static_cast<CUploadDialogWindow*>(uploader.MainWindow());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main)) << "the compositor never showed the main window";
    auto& folder = *main->Item<QListWidget>(1004);
    auto& camera = *main->Item<QListWidget>(1005);
    EXPECT_EQ(camera.count(), 1);

    // About: the camera's identity, over the main window.
    main->WindowMenu()->actions().first()->trigger();
    CAboutWindow* about = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = dynamic_cast<CAboutWindow*>(w); box != nullptr && box->isVisible())
            about = box;
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(about));
    EXPECT_EQ(about->Item<QLabel>(1013)->text(), QStringLiteral("Camera Id: WAYLAND-1"));
    QTest::mouseClick(about->Item<QPushButton>(1), Qt::LeftButton);
    EXPECT_TRUE(main->isEnabled());

    // The folder chooser, left with Cancel.
    QTimer::singleShot(200, [] {
        if (auto* chooser = dynamic_cast<CFolderBrowserWindow*>(QApplication::activeModalWidget())) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(chooser));
            chooser->reject();
        }
    });
    QTest::mouseClick(main->Item<QPushButton>(1006), Qt::LeftButton);

    // An upload: World Clock is in the camera already (a message box),
    // Slide Show goes across (the progress window).
    MessageBoxAnswerer answerer;
    Select(folder, QStringLiteral("Slide Show"));
    Select(folder, QStringLiteral("World Clock"), Qt::ControlModifier);
    QTest::mouseClick(main->Item<QPushButton>(1008), Qt::LeftButton);
    EXPECT_EQ(camera.count(), 2);

    // A removal, confirmed.
    Select(camera, QStringLiteral("Slide Show"));
    QTest::mouseClick(main->Item<QPushButton>(1007), Qt::LeftButton);
    EXPECT_EQ(camera.count(), 1);
    EXPECT_EQ(answerer.texts.size(), 2u);

    const std::string mainKind = "oskel::qt::CUploadDialogWindow";
    std::map<std::string, int> kinds;
    for (const ShownWindow& w : windows.shown) {
        ++kinds[w.kind];
        if (w.kind == mainKind)
            continue;
        // Over the main window, or, for a box that comes up during a
        // transfer, over the progress window.
        const bool overOwner = w.owner == mainKind ||
                               (w.kind == "QMessageBox" && w.owner == "oskel::qt::CProgressWindow");
        EXPECT_TRUE(overOwner) << w.kind << " is transient for \"" << w.owner << "\"";
    }
    for (const char* kind : {"oskel::qt::CAboutWindow", "oskel::qt::CFolderBrowserWindow",
                             "oskel::qt::CProgressWindow"})
        EXPECT_GE(kinds[kind], 1) << kind << " never shown";
    EXPECT_EQ(kinds["QMessageBox"], 2);

    // Close: the window goes, the link is closed and the settings written.
    QSignalSpy destroyed(main, &CUploadDialogWindow::WindowDestroyed);
    QTest::mouseClick(main->Item<QPushButton>(1009), Qt::LeftButton);
    EXPECT_TRUE(destroyed.count() == 1 || destroyed.wait(5000));
    EXPECT_FALSE(main->isVisible());
    uploader.ExitInstance();
    EXPECT_EQ(CSettingsStore(SettingsFilePath()).GetProfileString("UploadDialog", "AppPosition"), "100 120 554 337 1")
        << "the place the compositor chose is unknown; the one saved before stays";
}

} // namespace
} // namespace oskel::qt

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.oskel.ProgramUploader"));
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
