#include "BitmapPushButton.h"
#include "ListBox.h"
#include "TemplateDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace oskel::qt {
namespace {

TEST(DialogUnits, FollowTheClassicRule)
{
    const DialogUnits units(QFont(QStringLiteral("DejaVu Sans"), 8));
    ASSERT_GT(units.BaseWidth(), 3);
    ASSERT_GT(units.BaseHeight(), 8);
    EXPECT_EQ(units.MapX(4), units.BaseWidth());
    EXPECT_EQ(units.MapY(8), units.BaseHeight());
    EXPECT_EQ(units.MapX(2), MulDiv(2, units.BaseWidth(), 4));
    EXPECT_EQ(units.Map(7, 28, 182, 35), QRect(units.MapX(7), units.MapY(28), units.MapX(182), units.MapY(35)));
}

TEST(DialogUnits, MulDivRoundsHalvesAwayFromZero)
{
    struct Case {
        int a, b, c, expected;
    } cases[] = {{3, 7, 4, 5},  {1, 6, 4, 2},  {1, 5, 4, 1},
                 {-1, 6, 4, -2}, {5, 3, -2, -8}, {1, 1, 0, -1},
                 {2000000000, 3, 4, 1500000000}}; // the product needs 64 bits
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

// Every control of every template sits where its dialog units say, in the
// dialog's own font, and the dialog's client area is the template's size.
TEST(TemplateBuilder, PlacesEveryControlOfEveryTemplate)
{
    for (const res::DialogTemplate& t : res::AllDialogTemplates()) {
        SCOPED_TRACE(t.id);
        CTemplateDialog dialog(t.id);
        const DialogUnits units(DialogFont(t));
        EXPECT_EQ(dialog.size(), QSize(units.MapX(t.cx), units.MapY(t.cy)));
        EXPECT_EQ(dialog.windowTitle().toStdString(), std::string(t.caption));
        for (const QObject* child : dialog.children()) {
            const auto* w = qobject_cast<const QWidget*>(child);
            if (w == nullptr || ControlId(w) == res::IDC_STATIC)
                continue;
            const res::DialogControl* c = t.FindControl(ControlId(w));
            ASSERT_NE(c, nullptr);
            const QRect expected = units.Map(c->x, c->y, c->cx, c->cy);
            EXPECT_EQ(w->pos(), expected.topLeft()) << c->id;
            EXPECT_EQ(w->width(), expected.width()) << c->id;
            if (qobject_cast<const QComboBox*>(w) == nullptr) {
                EXPECT_EQ(w->height(), expected.height()) << c->id;
            }
        }
    }
}

TEST(TemplateBuilder, MakesTheWidgetTheStyleAsksFor)
{
    CTemplateDialog main(res::IDD_UPLOAD);
    EXPECT_NE(main.Item<CBitmapPushButton>(1008), nullptr);
    ASSERT_NE(main.Item<CListBox>(1004), nullptr);
    EXPECT_EQ(main.Item<CListBox>(1004)->selectionMode(), QAbstractItemView::ExtendedSelection);
    ASSERT_NE(main.Item<QGroupBox>(1003), nullptr);
    EXPECT_EQ(main.Item<QGroupBox>(1003)->title(), QStringLiteral("Applications in C&amera"));
    ASSERT_NE(main.Item<QLabel>(1000), nullptr);
    EXPECT_FALSE(main.Item<QLabel>(1000)->wordWrap());
    EXPECT_EQ(main.Item<QLabel>(1001)->frameShadow(), QFrame::Sunken);

    CTemplateDialog notFound(res::IDD_CAMERA_NOT_FOUND);
    EXPECT_NE(notFound.Item<CDropDownList>(1010), nullptr);
    ASSERT_NE(notFound.Item<QPushButton>(1), nullptr);
    EXPECT_TRUE(notFound.Item<QPushButton>(1)->isDefault());
    EXPECT_FALSE(notFound.Item<QPushButton>(2)->isDefault());
    bool rightAligned = false;
    for (QLabel* label : notFound.findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("Port:"))
            rightAligned = label->alignment().testFlag(Qt::AlignRight);
    }
    EXPECT_TRUE(rightAligned);

    CTemplateDialog about(res::IDD_ABOUT);
    int icons = 0;
    for (QLabel* label : about.findChildren<QLabel*>())
        icons += label->pixmap().isNull() ? 0 : 1;
    EXPECT_EQ(icons, 1);
}

TEST(TemplateBuilder, FactoryReplacesOneControlAndButtonsSendTheirIds)
{
    int made = 0;
    auto factory = [&made](const res::DialogControl& c, QWidget* parent) -> QWidget* {
        if (c.id != 5321)
            return nullptr;
        ++made;
        return new QLabel(parent);
    };
    struct Recording : CTemplateDialog {
        using CTemplateDialog::CTemplateDialog;
        std::vector<int> commands;
        void OnCommand(int id) override { commands.push_back(id); }
    } input(res::IDD_INPUT_BOX, nullptr, factory);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(input.GetDlgItemText(5321), "Enter:");
    input.SetDlgItemText(5322, "Fotos \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(input.GetDlgItemText(5322), "Fotos \xC3\xA9t\xC3\xA9");
    input.Item<QPushButton>(2)->click();
    input.Item<QPushButton>(1)->click();
    EXPECT_EQ(input.commands, (std::vector<int>{2, 1}));
}

TEST(TemplateBuilder, EnterPressesTheFocusedButtonOrSendsOk)
{
    struct Recording : CTemplateDialog {
        using CTemplateDialog::CTemplateDialog;
        std::vector<int> commands;
        void OnCommand(int id) override { commands.push_back(id); }
    } main(res::IDD_UPLOAD);
    main.show();
    main.activateWindow();
    main.GetDlgItem(1004)->setFocus();
    QTest::keyClick(&main, Qt::Key_Return);
    main.GetDlgItem(1006)->setFocus();
    QTest::keyClick(&main, Qt::Key_Return);
    main.GetDlgItem(1008)->setFocus(); // owner-drawn: never the default
    QTest::keyClick(&main, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(main.commands, (std::vector<int>{1, 1006, 1}));

    Recording input(res::IDD_INPUT_BOX);
    input.show();
    input.GetDlgItem(5322)->setFocus();
    QTest::keyClick(&input, Qt::Key_Return);
    QTest::keyClick(&input, Qt::Key_Escape);
    EXPECT_EQ(input.commands, (std::vector<int>{1}));
    EXPECT_EQ(input.result(), 2) << "Escape cancels";
}

TEST(TemplateBuilder, OkAndCancelEndTheDialogWithTheirIds)
{
    CTemplateDialog ok(res::IDD_INPUT_BOX);
    ok.open();
    ok.Item<QPushButton>(1)->click();
    EXPECT_EQ(ok.result(), 1);
    CTemplateDialog cancel(res::IDD_INPUT_BOX);
    cancel.open();
    cancel.close(); // the close box
    EXPECT_EQ(cancel.result(), 2);
    EXPECT_FALSE(cancel.isVisible());
}

} // namespace
} // namespace oskel::qt
