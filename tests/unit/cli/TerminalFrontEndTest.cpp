#include "terminal/TerminalFrontEnd.h"
#include "terminal/TerminalText.h"

#include "camera/DlgCameraNotFound.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "ui/MessageBox.h"

#include <gtest/gtest.h>

#include <sstream>

namespace oskel::cli {
namespace {

TEST(TerminalMessageBox, AnswersTheDefaultButtonAndPrintsTheText)
{
    std::ostringstream err;
    TerminalFrontEnd frontEnd(err);
    EXPECT_EQ(ui::AfxMessageBox("Plain.", ui::MB_OK | ui::MB_ICONEXCLAMATION), ui::IDOK);
    EXPECT_EQ(ui::AfxMessageBox("Go on?", ui::MB_OKCANCEL), ui::IDOK);
    EXPECT_EQ(ui::AfxMessageBox("Erase?", ui::MB_YESNO | ui::MB_ICONQUESTION | ui::MB_DEFBUTTON2), ui::IDNO);
    EXPECT_EQ(ui::AfxMessageBox("Replace?", ui::MB_YESNOCANCEL), ui::IDYES);
    EXPECT_EQ(ui::AfxMessageBox("Stop?", ui::MB_OKCANCEL | ui::MB_DEFBUTTON2), ui::IDCANCEL);
    EXPECT_EQ(err.str(), "oskel-uploader-cli: Plain.\n"
                         "oskel-uploader-cli: Go on? [answered OK]\n"
                         "oskel-uploader-cli: Erase? [answered No]\n"
                         "oskel-uploader-cli: Replace? [answered Yes]\n"
                         "oskel-uploader-cli: Stop? [answered Cancel]\n");
}

// Nothing in the camera is erased unasked: without a terminal and without
// --yes, a question whose Yes erases a program is answered No (whatever its
// default), every other question keeps its default; --yes still erases.
TEST(TerminalMessageBox, AnErasingQuestionIsAnsweredNoWhenNobodyCanBeAsked)
{
    struct Case {
        unsigned id;
        unsigned type;
        AnswerPolicy policy;
        int answer;
        const char* shown;
    };
    const unsigned update = ui::MB_ICONQUESTION | ui::MB_YESNOCANCEL;
    const unsigned erase = ui::MB_ICONQUESTION | ui::MB_YESNO | ui::MB_DEFBUTTON2;
    const Case cases[] = {
        {res::IDS_OLDER_VERSION, update, AnswerPolicy::Ask, ui::IDNO,
         " [answered No: no terminal to ask; --yes answers Yes]\n"},
        {res::IDS_CONFIRM_ERASE, erase, AnswerPolicy::Ask, ui::IDNO,
         " [answered No: no terminal to ask; --yes answers Yes]\n"},
        {res::IDS_CONTINUE_REMAINING, ui::MB_YESNO, AnswerPolicy::Ask, ui::IDYES, " [answered Yes]\n"},
        {res::IDS_OLDER_VERSION, update, AnswerPolicy::Yes, ui::IDYES, " [answered Yes]\n"},
        {res::IDS_CONFIRM_ERASE, erase, AnswerPolicy::Yes, ui::IDYES, " [answered Yes]\n"},
    };
    for (const Case& c : cases) {
        std::ostringstream err;
        TerminalFrontEnd frontEnd(err, c.policy);
        EXPECT_EQ(ui::AfxMessageBox(c.id, c.type), c.answer) << c.id;
        EXPECT_EQ(err.str(), "oskel-uploader-cli: " + res::LoadString(c.id) + c.shown);
        EXPECT_EQ(frontEnd.Shown().back().unasked, c.policy == AnswerPolicy::Ask && c.answer == ui::IDNO);
    }
    // End of input at a terminal: nobody answered, so No again.
    std::istringstream closed("");
    std::ostringstream err;
    TerminalFrontEnd asking(err, AnswerPolicy::Ask, &closed);
    EXPECT_EQ(ui::AfxMessageBox(res::IDS_OLDER_VERSION, update), ui::IDNO);
}

// --progress=json: a box is one JSON line, and nobody is prompted on it.
TEST(TerminalMessageBox, WithJsonLinesABoxIsOneJsonObject)
{
    std::istringstream terminal("y\n");
    std::ostringstream err;
    TerminalFrontEnd frontEnd(err, AnswerPolicy::Ask, &terminal);
    frontEnd.SetJsonLines(true);
    ui::AfxMessageBox(res::IDS_BATTERY_LOW, ui::MB_OK | ui::MB_ICONEXCLAMATION);
    ui::AfxMessageBox(res::IDS_CONFIRM_ERASE, ui::MB_YESNO | ui::MB_DEFBUTTON2);
    EXPECT_EQ(err.str(), "{\"event\":\"message\",\"text\":\"" + res::LoadString(res::IDS_BATTERY_LOW) +
                             "\",\"answer\":\"OK\"}\n"
                             "{\"event\":\"message\",\"text\":\"" + res::LoadString(res::IDS_CONFIRM_ERASE) +
                             "\",\"answer\":\"No\",\"unasked\":true,\"yesOption\":\"--yes\"}\n");
}

TEST(TerminalMessageBox, ADefaultButtonBeyondTheBoxFallsBackToTheFirst)
{
    EXPECT_EQ(TerminalFrontEnd::DefaultButton(ui::MB_OK | ui::MB_DEFBUTTON2), ui::IDOK);
    EXPECT_EQ(TerminalFrontEnd::DefaultButton(ui::MB_YESNOCANCEL | 0x200), ui::IDCANCEL);
    EXPECT_EQ(TerminalFrontEnd::DefaultButton(ui::MB_YESNO | 0x200), ui::IDYES);
}

TEST(TerminalMessageBox, AnswerOptionsPickTheirButtonOrTheDefault)
{
    using P = AnswerPolicy;
    struct Case {
        unsigned type;
        int yes, no, cancel;
    };
    const Case cases[] = {
        {ui::MB_OK, ui::IDOK, ui::IDOK, ui::IDOK},
        {ui::MB_OKCANCEL, ui::IDOK, ui::IDOK, ui::IDCANCEL},
        {ui::MB_YESNO | ui::MB_DEFBUTTON2, ui::IDYES, ui::IDNO, ui::IDNO},
        {ui::MB_YESNOCANCEL, ui::IDYES, ui::IDNO, ui::IDCANCEL},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TerminalFrontEnd::AnswerFor(P::Yes, c.type), c.yes) << c.type;
        EXPECT_EQ(TerminalFrontEnd::AnswerFor(P::No, c.type), c.no) << c.type;
        EXPECT_EQ(TerminalFrontEnd::AnswerFor(P::Cancel, c.type), c.cancel) << c.type;
    }
    std::ostringstream err;
    TerminalFrontEnd frontEnd(err, P::Yes);
    EXPECT_EQ(ui::AfxMessageBox("Update?", ui::MB_YESNO), ui::IDYES);
    EXPECT_EQ(err.str(), "oskel-uploader-cli: Update? [answered Yes]\n");
}

TEST(TerminalMessageBox, APromptShowsTheButtonsAndReadsTheChoice)
{
    std::ostringstream err;
    std::istringstream in("maybe\nC\n\n");
    TerminalFrontEnd frontEnd(err, AnswerPolicy::Ask, &in);
    EXPECT_EQ(ui::AfxMessageBox("Go on?", ui::MB_YESNOCANCEL), ui::IDCANCEL);
    EXPECT_EQ(err.str(), "oskel-uploader-cli: Go on?\n"
                         "[Y]es/[N]o/[C]ancel (Enter: Yes)? [Y]es/[N]o/[C]ancel (Enter: Yes)? ");
    EXPECT_EQ(ui::AfxMessageBox("Erase?", ui::MB_YESNO | ui::MB_DEFBUTTON2), ui::IDNO) << "Enter: the default";
    EXPECT_EQ(ui::AfxMessageBox("Again?", ui::MB_YESNO), ui::IDYES) << "end of input: the default";
    EXPECT_EQ(ui::AfxMessageBox("Plain.", ui::MB_OK), ui::IDOK);
}

TEST(TerminalCameraNotFound, CancelsWithoutAskingAndUninstallsItself)
{
    std::ostringstream err;
    {
        TerminalFrontEnd frontEnd(err);
        CDlgCameraNotFound dlg(-1, false);
        dlg.SetPortNames({"COM1", "COM2"});
        dlg.m_nPortChoice = 1;
        dlg.m_nSpeedChoice = 57600;
        EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
        EXPECT_EQ(dlg.m_nPortChoice, 1);
        EXPECT_EQ(frontEnd.CameraNotFoundShown(), 1);
        EXPECT_EQ(&ui::CurrentMessageBox(), static_cast<ui::IMessageBox*>(&frontEnd));
    }
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(dynamic_cast<TerminalFrontEnd*>(&ui::CurrentMessageBox()), nullptr);
    EXPECT_EQ(dynamic_cast<TerminalFrontEnd*>(&ui::CurrentCameraNotFoundView()), nullptr);
}

TEST(TerminalText, EscapesControlAndEightBitBytes)
{
    EXPECT_EQ(Printable("SR82 v1.0"), "SR82 v1.0");
    EXPECT_EQ(Printable(std::string("A\x1B[2JB\x7F\n", 8)), "A\\x1B[2JB\\x7F\\x0A");
    EXPECT_EQ(Printable(std::string("\xE9\x80", 2)), "\\xE9\\x80");
    EXPECT_EQ(Printable(""), "");
    EXPECT_EQ(Printable("a\\x41"), "a\\\\x41");
}

} // namespace
} // namespace oskel::cli
