#include "TerminalFrontEnd.h"

#include "TerminalText.h"

#include <vector>

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

const char* ButtonName(int button)
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

} // namespace

TerminalFrontEnd::TerminalFrontEnd(std::ostream& err) : m_err(err)
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

int TerminalFrontEnd::DefaultButton(unsigned type)
{
    const std::vector<int> buttons = Buttons(type);
    const size_t index = (type & kDefaultButtonMask) >> kDefaultButtonShift;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

int TerminalFrontEnd::Show(const std::string& text, unsigned type, unsigned)
{
    const int answer = DefaultButton(type);
    m_err << kProgramName << ": " << text;
    if (Buttons(type).size() > 1)
        m_err << " [answered " << ButtonName(answer) << "]";
    m_err << '\n';
    m_err.flush();
    return answer;
}

int TerminalFrontEnd::DoModal(ui::ListModel&, ui::ListModel&, const ui::CameraNotFoundDetails&)
{
    ++m_notFoundShown;
    return ui::IDCANCEL;
}

} // namespace oskel::cli
