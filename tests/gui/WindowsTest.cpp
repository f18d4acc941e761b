#include "CameraNotFoundWindow.h"
#include "ListBox.h"
#include "ProgressWindow.h"
#include "QtBoundary.h"
#include "QtFrontEnd.h"
#include "QtMessageBox.h"
#include "camera/DlgCameraNotFound.h"
#include "transfer/DlgProgress.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace oskel::qt {
namespace {

CDlgCameraNotFound NotFoundDialog(int port, int speed)
{
    CDlgCameraNotFound dialog(-1, false);
    dialog.SetPortNames({"COM1", "COM2", "COM3", "COM4"});
    dialog.m_nPortChoice = port;
    dialog.m_nSpeedChoice = speed;
    return dialog;
}

// Runs `answer` on the modal window once it is up. A window the answer
// failed to close is closed after two seconds, so a fault fails the test
// instead of hanging it.
void WhenModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(modal);
        QTimer::singleShot(2000, [stuck = QPointer<QWidget>(modal)] {
            if (auto* dialog = qobject_cast<QDialog*>(stuck.data()); dialog != nullptr && dialog->isVisible()) {
                ADD_FAILURE() << "the window stayed open";
                dialog->done(-1);
            }
        });
    });
}

TEST(CameraNotFoundWindow, ShowsTheChoicesAndHandsTheUsersBack)
{
    CDlgCameraNotFound dialog = NotFoundDialog(2, 57600);
    QtCameraNotFoundView view;
    WhenModal([](QWidget* window) {
        auto* w = static_cast<CCameraNotFoundWindow*>(window);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Error: Camera Not Found!"));
        auto* ports = w->Item<CDropDownList>(1010);
        EXPECT_EQ(ports->currentText(), QStringLiteral("COM3"));
        EXPECT_EQ(w->Item<CDropDownList>(1011)->currentText(), QStringLiteral("57600"));
        EXPECT_EQ(ports->count(), 5);
        ports->setCurrentIndex(0);
        QTest::mouseClick(w->Item<QPushButton>(1), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.DoModal(view), 1);
    EXPECT_EQ(dialog.m_nPortChoice, -1);
    EXPECT_EQ(dialog.m_nSpeedChoice, 57600);
}

TEST(CameraNotFoundWindow, CancelAndEscapeLeaveTheChoices)
{
    for (bool escape : {false, true}) {
        CDlgCameraNotFound dialog = NotFoundDialog(1, 19200);
        QtCameraNotFoundView view;
        WhenModal([escape](QWidget* window) {
            auto* w = static_cast<CCameraNotFoundWindow*>(window);
            w->Item<CDropDownList>(1010)->setCurrentIndex(4);
            if (escape)
                QTest::keyClick(w, Qt::Key_Escape);
            else
                w->Item<QPushButton>(2)->click();
        });
        EXPECT_EQ(dialog.DoModal(view), 2);
        EXPECT_EQ(dialog.m_nPortChoice, 1);
    }
}

TEST(CameraNotFoundWindow, ExtraLineForEveryKnownReasonAsTheCommandLineGivesIt)
{
    CDlgCameraNotFound dialog = NotFoundDialog(-1, -1);
    dialog.OnInitDialog();
    CCameraNotFoundWindow plain(dialog.PortList(), dialog.SpeedList(), {"", false});
    EXPECT_EQ(plain.ReasonLine(), nullptr);

    for (const ui::CameraNotFoundDetails& details :
         {ui::CameraNotFoundDetails{"The port opened, but the camera did not answer.", false},
          ui::CameraNotFoundDetails{"/dev/ttyUSB0 is in use by another program.", true}}) {
        CCameraNotFoundWindow withReason(dialog.PortList(), dialog.SpeedList(), details);
        ASSERT_NE(withReason.ReasonLine(), nullptr) << details.reason;
        EXPECT_EQ(withReason.ReasonLine()->text().toStdString(), details.reason);
        EXPECT_GT(withReason.ReasonLine()->y(), withReason.GetDlgItem(1)->geometry().bottom());
        EXPECT_GT(withReason.height(), withReason.ReasonLine()->geometry().bottom());
        EXPECT_EQ(withReason.width(), plain.width());
        for (int id : {1010, 1011, 1, 2})
            EXPECT_EQ(withReason.GetDlgItem(id)->geometry(), plain.GetDlgItem(id)->geometry()) << id;
    }
}

class ProgressWindowTest : public testing::Test {
protected:
    ProgressWindowTest() : owner(&ownerWidget) { ownerWidget.show(); }
    QtProgressView* View() { return static_cast<QtProgressView*>(&dialog.View()); }

    QWidget ownerWidget;
    QtOwnerWindow owner;
    CDlgProgress dialog{std::make_unique<QtProgressView>()};
};

TEST_F(ProgressWindowTest, OwnerDisabledWhileItExistsAndCancelStaysUsable)
{
    ASSERT_EQ(dialog.Create(&owner), 1);
    EXPECT_FALSE(ownerWidget.isEnabled());
    EXPECT_FALSE(View()->IsVisible());
    dialog.Show();
    CProgressWindow* window = View()->Window();
    ASSERT_TRUE(window->isVisible());
    auto* cancel = window->Item<QPushButton>(2);
    EXPECT_TRUE(cancel->isEnabled());

    EXPECT_EQ(dialog.Step(10), 0);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(window->isVisible()) << "Cancel asks; the caller closes";
    EXPECT_EQ(dialog.Step(20), 2);
    QTest::keyClick(window, Qt::Key_Escape);
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->CancelRequests(), 3);

    EXPECT_EQ(dialog.DestroyWindow(), 1);
    EXPECT_TRUE(ownerWidget.isEnabled());
    EXPECT_FALSE(View()->Exists());
}

TEST_F(ProgressWindowTest, BarShowsEachFilesShareAndMessage)
{
    dialog.SetTitle("Upload Programs");
    ASSERT_EQ(dialog.Create(&owner), 1);
    dialog.SetMessage("Uploading \"Clock\" (1 of 2)");
    CProgressWindow* window = View()->Window();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Upload Programs"));
    EXPECT_EQ(window->Message()->text(), QStringLiteral("Uploading \"Clock\" (1 of 2)"));

    dialog.m_nLow = 20;
    dialog.m_nHigh = 60;
    dialog.Begin();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Bar()->value(), 20);
    dialog.Step(50);
    EXPECT_EQ(window->Bar()->value(), 40);
    dialog.Step(100);
    EXPECT_EQ(window->Bar()->value(), 60);
    dialog.End();
    EXPECT_FALSE(window->isVisible()) << "Begin showed it, End hides it";
}

TEST(ProgressWindow, CentredOverAnOwnerThatIsAWindowAndKeptAboveIt)
{
    struct MainWindow : QWidget, ui::IOwnerWindow {
        void EnableWindow(bool enable) override { setEnabled(enable); }
        bool IsWindowEnabled() const override { return isEnabled(); }
    } main;
    main.setGeometry(100, 100, 600, 400);
    main.show();
    CDlgProgress dialog{std::make_unique<QtProgressView>()};
    ASSERT_EQ(dialog.Create(&main), 1);
    CProgressWindow* window = static_cast<QtProgressView&>(dialog.View()).Window();
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->frameGeometry().center(), main.frameGeometry().center());
    ASSERT_NE(window->windowHandle(), nullptr);
    EXPECT_EQ(window->windowHandle()->transientParent(), main.windowHandle());
    dialog.DestroyWindow();
    EXPECT_TRUE(main.isEnabled());
}

TEST(ProgressWindow, ThroughputAndTimeLeftOnceTheyCanBeTold)
{
    EXPECT_EQ(RateText({0, 8192, 115200, 0}), "");
    EXPECT_EQ(RateText({4096, 8192, 115200, 0}), "");
    EXPECT_EQ(RateText({4096, 12288, 115200, 1000}), "4.0 KB/s, 2 s left");
    EXPECT_EQ(RateText({12288, 12288, 115200, 3000}), "4.0 KB/s, 0 s left");

    QtProgressView view;
    view.Create(nullptr, [] {});
    view.SetMessage("Uploading");
    view.SetStats({4096, 12288, 115200, 1000});
    EXPECT_FALSE(view.Window()->Rate()->isHidden());
    EXPECT_EQ(view.Window()->Rate()->text(), QStringLiteral("4.0 KB/s, 2 s left"));
    EXPECT_EQ(view.Window()->Message()->text(), QStringLiteral("Uploading")) << "the message stays as given";
    view.SetStats({});
    EXPECT_TRUE(view.Window()->Rate()->isHidden());
}

TEST(MessageBox, ButtonsIconDefaultAndEscapeFollowTheStyle)
{
    using B = QMessageBox::StandardButton;
    struct Case {
        unsigned type;
        QMessageBox::StandardButtons buttons;
        B defaultButton;
        B escapeButton; // NoButton: Escape does nothing
        QMessageBox::Icon icon;
    } cases[] = {
        {ui::MB_OK, B::Ok, B::Ok, B::Ok, QMessageBox::NoIcon},
        {ui::MB_OK | ui::MB_ICONEXCLAMATION, B::Ok, B::Ok, B::Ok, QMessageBox::Warning},
        {ui::MB_OKCANCEL | ui::MB_ICONHAND, B::Ok | B::Cancel, B::Ok, B::Cancel, QMessageBox::Critical},
        {ui::MB_YESNO | ui::MB_ICONQUESTION | ui::MB_DEFBUTTON2, B::Yes | B::No, B::No, B::NoButton,
         QMessageBox::Question},
        {ui::MB_YESNOCANCEL | ui::MB_ICONINFORMATION, B::Yes | B::No | B::Cancel, B::Yes, B::Cancel,
         QMessageBox::Information},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const auto box = QtMessageBox::Create("text", c.type, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("OSKEL Program Uploader"));
        EXPECT_EQ(box->standardButtons(), c.buttons);
        EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
        if (c.escapeButton != B::NoButton) {
            EXPECT_EQ(box->escapeButton(), box->button(c.escapeButton));
        }
        EXPECT_EQ(box->icon(), c.icon);
    }
}

TEST(MessageBox, ShowReturnsTheClassicIdOfThePressedButton)
{
    QtMessageBox boxes;
    WhenModal([](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::No)->click(); });
    EXPECT_EQ(boxes.Show("Are you sure?", ui::MB_YESNO | ui::MB_ICONQUESTION, 0), ui::IDNO);
    WhenModal([](QWidget* w) {
        QTest::keyClick(w, Qt::Key_Escape);
        w->close();
        EXPECT_TRUE(w->isVisible()) << "a Yes/No box needs an answer";
        static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(boxes.Show("Are you sure?", ui::MB_YESNO, 0), ui::IDYES);
    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(boxes.Show("Go on?", ui::MB_OKCANCEL, 0), ui::IDCANCEL);
    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    EXPECT_EQ(boxes.Show("Update?", ui::MB_YESNOCANCEL | ui::MB_DEFBUTTON2, 0), ui::IDNO);
}

TEST(MessageBox, AboveAndCentredOverTheActiveWindowAndAnswerableWhileItIsDisabled)
{
    // As during an upload: the main window is disabled by the progress window.
    QWidget main;
    main.setGeometry(50, 60, 500, 300);
    main.show();
    main.activateWindow();
    main.setEnabled(false);
    QtMessageBox boxes;
    WhenModal([&main](QWidget* w) {
        EXPECT_TRUE(w->isEnabled());
        EXPECT_EQ(w->windowHandle()->transientParent(), main.windowHandle());
        EXPECT_LT((w->frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 8);
        static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(boxes.Show("\"Clock\" skipped; it is already in the camera.", ui::MB_OK | ui::MB_ICONINFORMATION, 0),
              ui::IDOK);
}

TEST(Boundary, WaitCursorPairsItsOverrides)
{
    QtWaitCursor cursor;
    cursor.Begin();
    cursor.Begin();
    cursor.End();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    cursor.End();
    cursor.End(); // unmatched: nothing to restore
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    cursor.Begin();
    {
        QtWaitCursor gone; // restores only its own
    }
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    cursor.End();
}

TEST(Boundary, MessagePumpRunsPendingEventsAndReportsAQuit)
{
    QtMessagePump pump;
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    EXPECT_TRUE(pump.RunPending());
    EXPECT_TRUE(ran);
    QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit));
    EXPECT_FALSE(pump.RunPending());
    EXPECT_TRUE(pump.RunPending()) << "only a quit met during that run counts";
}

TEST(Boundary, ModifierMaskNamesEachHeldKey)
{
    EXPECT_EQ(ModifierMask(Qt::NoModifier), 0u);
    EXPECT_EQ(ModifierMask(Qt::ControlModifier | Qt::ShiftModifier), ui::kModCtrl | ui::kModShift);
    EXPECT_EQ(ModifierMask(Qt::AltModifier | Qt::KeypadModifier), ui::kModAlt);
}

TEST(ListBox, FollowsTheModelAndHandsTheUsersSelectionBack)
{
    ui::ListModel model(true, ui::ListModel::Selection::Extended);
    model.AddString("Zoom");
    CListBox list;
    list.Bind(&model);
    model.AddString("alarm");
    model.AddString("Clock");
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("alarm"));
    EXPECT_EQ(list.item(2)->text(), QStringLiteral("Zoom"));
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::ExtendedSelection);

    model.SetSel(2, true);
    EXPECT_TRUE(list.item(2)->isSelected());
    int userChanges = 0;
    QObject::connect(&list, &CListBox::UserSelectionChanged, [&userChanges] { ++userChanges; });
    list.item(0)->setSelected(true);
    EXPECT_EQ(model.GetSelItems(), (std::vector<int>{0, 2}));
    EXPECT_GT(userChanges, 0);

    model.DeleteString(0);
    ASSERT_EQ(list.count(), 2);
    EXPECT_TRUE(list.item(1)->isSelected());
    EXPECT_FALSE(list.item(0)->isSelected());
    EXPECT_EQ(model.MeasureText("Clock"), QFontMetrics(list.font()).horizontalAdvance(QStringLiteral("Clock")));

    model.ResetContent();
    EXPECT_EQ(list.count(), 0);
    list.Bind(nullptr);
    model.AddString("after");
    EXPECT_EQ(list.count(), 0);
}

} // namespace
} // namespace oskel::qt
