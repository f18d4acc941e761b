#include "InputBoxWindow.h"
#include "app/DlgFolderName.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace oskel::qt {
namespace {

// Runs `answer` on the modal window once it is up.
void WhenModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(modal);
    });
}

// Types a name into the input box and presses OK.
void AnswerName(QWidget* window, const QString& name)
{
    auto* box = static_cast<CInputBoxWindow*>(window);
    box->Item<QLineEdit>(CDlgInputBox::IDC_VALUE)->setText(name);
    QTest::mouseClick(box->Item<QPushButton>(1), Qt::LeftButton);
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

} // namespace
} // namespace oskel::qt
