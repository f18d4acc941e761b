// What a screen reader hears and what a keyboard reaches, through Qt's
// accessibility interfaces.
#include "AccessibleNames.h"
#include "UploadDialogWindow.h"
#include "TemplateDialog.h"

#include "res/DialogTemplates.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace oskel::qt {
namespace {

QAccessibleInterface* Accessible(QWidget* w)
{
    return QAccessible::queryAccessibleInterface(w);
}

struct Heard {
    unsigned templateId;
    int controlId;
    QAccessible::Role role;
    const char* name;
};

// The icon and the separator line show nothing to read.
bool Decoration(const QWidget* w)
{
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return !label->pixmap().isNull();
    return qstrcmp(w->metaObject()->className(), "QFrame") == 0;
}

TEST(Accessibility, EveryControlOfEveryTemplateHasANameAndRole)
{
    for (const res::DialogTemplate& t : res::AllDialogTemplates()) {
        CTemplateDialog dialog(t.id);
        QAccessibleInterface* window = Accessible(&dialog);
        ASSERT_NE(window, nullptr);
        for (int i = 0; i < window->childCount(); ++i) {
            QAccessibleInterface* child = window->child(i);
            const auto* w = qobject_cast<const QWidget*>(child->object());
            const int id = ControlId(w);
            if (Decoration(w) || (child->role() == QAccessible::StaticText && t.FindControl(id) != nullptr &&
                                  t.FindControl(id)->text.empty()))
                continue;
            EXPECT_NE(child->role(), QAccessible::Client) << "template " << t.id << " control " << id;
            if (child->role() == QAccessible::ComboBox) // reads its choice, labelled by a relation
                EXPECT_EQ(child->relations(QAccessible::Label).size(), 1) << "template " << t.id << " control " << id;
            else
                EXPECT_FALSE(child->text(QAccessible::Name).isEmpty()) << "template " << t.id << " control " << id;
        }
    }
}

TEST(Accessibility, DrawnAndUnlabelledControlsReadWhatTheScreenShows)
{
    const Heard cases[] = {
        {res::IDD_UPLOAD, 1008, QAccessible::Button, "Upload"},
        {res::IDD_UPLOAD, 1004, QAccessible::List, "Applications in Folder"},
        {res::IDD_UPLOAD, 1005, QAccessible::List, "Applications in Camera"},
        {res::IDD_UPLOAD, 1006, QAccessible::Button, "Browse..."},
        {res::IDD_UPLOAD, 1007, QAccessible::Button, "Remove"},
        {res::IDD_INPUT_BOX, 5322, QAccessible::EditableText, "Enter:"},
        {res::IDD_PROGRESS, 3631, QAccessible::ProgressBar, "Message"},
    };
    for (const Heard& c : cases) {
        CTemplateDialog dialog(c.templateId);
        QAccessibleInterface* control = Accessible(dialog.GetDlgItem(c.controlId));
        ASSERT_NE(control, nullptr) << c.controlId;
        EXPECT_EQ(control->role(), c.role) << c.controlId;
        EXPECT_EQ(control->text(QAccessible::Name).toStdString(), c.name) << c.controlId;
    }
}

TEST(Accessibility, PanelAndProgressBarReadTheirCurrentText)
{
    CUploadDialogWindow main;
    main.SetDlgItemText(1001, "Select the desired Applications in Folder");
    QAccessibleInterface* panel = Accessible(main.GetDlgItem(1001));
    EXPECT_EQ(panel->role(), QAccessible::StaticText);
    EXPECT_EQ(panel->text(QAccessible::Name), QStringLiteral("Select the desired Applications in Folder"));

    CTemplateDialog progress(res::IDD_PROGRESS);
    progress.SetDlgItemText(3632, "Uploading \"Clock\" (1 of 2)");
    EXPECT_EQ(Accessible(progress.GetDlgItem(3631))->text(QAccessible::Name),
              QStringLiteral("Uploading \"Clock\" (1 of 2)"));
}

TEST(Accessibility, ComboBoxesAreLabelledByTheTextBeforeThem)
{
    CTemplateDialog dialog(res::IDD_CAMERA_NOT_FOUND);
    for (const auto& [id, label] : {std::pair{1010, "Port:"}, std::pair{1011, "Speed:"}}) {
        const auto relations = Accessible(dialog.GetDlgItem(id))->relations(QAccessible::Label);
        ASSERT_EQ(relations.size(), 1) << id;
        EXPECT_EQ(relations[0].first->text(QAccessible::Name), QString::fromUtf8(label));
    }
}

TEST(Accessibility, SpokenCaptionDropsMnemonicsAndReadsCapitalsAsAWord)
{
    EXPECT_EQ(SpokenCaption(QStringLiteral("&UPLOAD")), QStringLiteral("Upload"));
    EXPECT_EQ(SpokenCaption(QStringLiteral("&Browse...")), QStringLiteral("Browse..."));
    EXPECT_EQ(SpokenCaption(QStringLiteral("Salt && Pepper")), QStringLiteral("Salt & Pepper"));
}

// The main window with the keyboard alone: Tab visits every control that
// acts, in reading order, and the mnemonics reach the lists and press the
// buttons.
TEST(Accessibility, MainWindowIsWorkedByKeyboardAlone)
{
    CUploadDialogWindow main;
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.GetDlgItem(1006)->setFocus();

    std::vector<int> visited{ControlId(QApplication::focusWidget())};
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(ControlId(QApplication::focusWidget()));
    }
    EXPECT_EQ(visited, (std::vector<int>{1006, 1004, 1008, 1005, 1007, 1009, 1006}));

    QTest::keyClick(&main, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(ControlId(QApplication::focusWidget()), 1005);
    QTest::keyClick(&main, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(ControlId(QApplication::focusWidget()), 1004);
    for (const auto& [id, key] : {std::pair{1008, Qt::Key_U}, std::pair{1006, Qt::Key_B}, std::pair{1007, Qt::Key_R}}) {
        QSignalSpy pressed(main.Item<QPushButton>(id), &QPushButton::clicked);
        QTest::keyClick(&main, key, Qt::AltModifier);
        EXPECT_TRUE(pressed.count() == 1 || pressed.wait(2000)) << id << ": a mnemonic's click is animated";
    }
    EXPECT_NE(QApplication::style()->styleHint(QStyle::SH_UnderlineShortcut), 0) << "mnemonics are underlined";
}

} // namespace
} // namespace oskel::qt
