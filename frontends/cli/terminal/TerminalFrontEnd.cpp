#include "terminal/TerminalFrontEnd.h"

#include "CliInterrupt.h"
#include "report/JsonWriter.h"
#include "terminal/TerminalText.h"
#include "ui/CLocaleText.h"

#include "res/StringIds.h"

#include <algorithm>
#include <string>

namespace oskel::cli {
namespace {

constexpr unsigned kButtonsMask = 0xF;
constexpr unsigned kDefaultButtonMask = 0xF00;
constexpr unsigned kDefaultButtonShift = 8;

std::vector<int> Buttons(unsigned type)
{
    switch (type & kButtonsMask) {
    case ui::MB_OKCANCEL:
        return {ui::IDOK, ui::IDCANCEL};
    case ui::MB_YESNOCANCEL:
        return {ui::IDYES, ui::IDNO, ui::IDCANCEL};
    case ui::MB_YESNO:
        return {ui::IDYES, ui::IDNO};
    default:
        return {ui::IDOK};
    }
}

bool Offers(unsigned type, int button)
{
    const std::vector<int> buttons = Buttons(type);
    return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

// A button typed at the prompt: its name or first letter, any case.
int ParseButton(const std::string& typed, unsigned type)
{
    const std::string word = ui::AsciiLower(typed);
    for (const int button : Buttons(type)) {
        const std::string name = ui::AsciiLower(TerminalFrontEnd::ButtonName(button));
        if (word == name || (word.size() == 1 && word[0] == name[0]))
            return button;
    }
    return 0;
}

} // namespace

TerminalFrontEnd::TerminalFrontEnd(std::ostream& err, AnswerPolicy policy, std::istream* prompt)
    : m_err(err), m_policy(policy), m_prompt(prompt)
{
    ui::SetMessageBox(this);
    ui::SetCameraNotFoundView(this);
    ui::SetModifierKeys(this);
}

TerminalFrontEnd::~TerminalFrontEnd()
{
    ui::SetModifierKeys(nullptr);
    ui::SetCameraNotFoundView(nullptr);
    ui::SetMessageBox(nullptr);
}

const char* TerminalFrontEnd::ButtonName(int button)
{
    switch (button) {
    case ui::IDOK:
        return "OK";
    case ui::IDCANCEL:
        return "Cancel";
    case ui::IDYES:
        return "Yes";
    case ui::IDNO:
        return "No";
    default:
        return "?";
    }
}

int TerminalFrontEnd::DefaultButton(unsigned type)
{
    const std::vector<int> buttons = Buttons(type);
    const size_t index = (type & kDefaultButtonMask) >> kDefaultButtonShift;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

bool TerminalFrontEnd::ErasesOnYes(unsigned id)
{
    return id == res::IDS_OLDER_VERSION || id == res::IDS_CONFIRM_ERASE;
}

int TerminalFrontEnd::AnswerFor(AnswerPolicy policy, unsigned type, unsigned id)
{
    if (policy == AnswerPolicy::Ask && ErasesOnYes(id) && Offers(type, ui::IDNO))
        return ui::IDNO;
    switch (policy) {
    case AnswerPolicy::Yes:
        return Offers(type, ui::IDYES) ? ui::IDYES : DefaultButton(type);
    case AnswerPolicy::No:
        return Offers(type, ui::IDNO) ? ui::IDNO : DefaultButton(type);
    case AnswerPolicy::Cancel:
        if (Offers(type, ui::IDCANCEL))
            return ui::IDCANCEL;
        return Offers(type, ui::IDNO) ? ui::IDNO : DefaultButton(type);
    default:
        return DefaultButton(type);
    }
}

int TerminalFrontEnd::Show(const std::string& text, unsigned type, unsigned helpId)
{
    const unsigned id = helpId == static_cast<unsigned>(-1) ? 0 : helpId;
    bool unasked = false;
    int answer = 0;
    if (m_rehearsal) {
        answer = AnswerFor(*m_rehearsal, type, id);
        unasked = *m_rehearsal == AnswerPolicy::Ask && ErasesOnYes(id) && answer == ui::IDNO;
    } else {
        answer = Answer(text, type, id, &unasked);
    }
    m_shown.push_back({text, type, answer, id, unasked});
    return answer;
}

int TerminalFrontEnd::Answer(const std::string& text, unsigned type, unsigned id, bool* unasked)
{
    if (m_beforeOutput)
        m_beforeOutput();
    const bool several = Buttons(type).size() > 1;
    if (several && m_policy == AnswerPolicy::Ask && m_prompt != nullptr && !Interrupted() && !m_jsonLines)
        return Ask(text, type, id, unasked);
    const bool interrupted = Interrupted();
    const int answer = AnswerFor(interrupted ? AnswerPolicy::Cancel : m_policy, type, id);
    *unasked = !interrupted && m_policy == AnswerPolicy::Ask && ErasesOnYes(id) && answer == ui::IDNO;
    Print(text, type, answer, *unasked);
    return answer;
}

void TerminalFrontEnd::Print(const std::string& text, unsigned type, int answer, bool unasked)
{
    const bool several = Buttons(type).size() > 1;
    if (m_jsonLines) {
        JsonObject json;
        json.Add("event", "message").Add("text", text).Add("answer", ButtonName(answer));
        if (unasked)
            json.Add("unasked", true).Add("yesOption", "--yes");
        m_err << json.Text() << '\n';
    } else {
        m_err << kProgramName << ": " << text;
        if (unasked)
            m_err << " [answered No: no terminal to ask; --yes answers Yes]";
        else if (several)
            m_err << " [answered " << ButtonName(answer) << "]";
        m_err << '\n';
    }
    m_err.flush();
}

// "TEXT\n[Y]es/[N]o (Enter: No)? " until a button is named. End of input
// takes the default (No for an erasing question); an interrupt while waiting answers as --cancel does.
int TerminalFrontEnd::Ask(const std::string& text, unsigned type, unsigned id, bool* unasked)
{
    const int byDefault = DefaultButton(type);
    m_err << kProgramName << ": " << text << '\n';
    for (;;) {
        const std::vector<int> buttons = Buttons(type);
        for (size_t i = 0; i < buttons.size(); ++i) {
            const std::string name = ButtonName(buttons[i]);
            m_err << (i > 0 ? "/" : "") << '[' << name[0] << ']' << name.substr(1);
        }
        m_err << " (Enter: " << ButtonName(byDefault) << ")? ";
        m_err.flush();
        std::string line;
        if (!std::getline(*m_prompt, line)) {
            const bool interrupted = Interrupted();
            m_prompt->clear();
            // Nobody answered: an erasing question is answered No.
            const int answer = AnswerFor(interrupted ? AnswerPolicy::Cancel : AnswerPolicy::Ask, type, id);
            *unasked = !interrupted && ErasesOnYes(id) && answer == ui::IDNO;
            m_err << ButtonName(answer) << '\n';
            if (!interrupted)
                m_prompt = nullptr; // nothing more will come: later boxes take their default
            return answer;
        }
        line.erase(0, line.find_first_not_of(" \t\r"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (line.empty())
            return byDefault;
        if (const int answer = ParseButton(line, type); answer != 0)
            return answer;
    }
}

int TerminalFrontEnd::DoModal(ui::ListModel&, ui::ListModel&, const ui::CameraNotFoundDetails&)
{
    ++m_notFoundShown;
    return ui::IDCANCEL;
}

} // namespace oskel::cli
