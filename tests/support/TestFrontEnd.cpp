#include "support/TestFrontEnd.h"

namespace oskel::test {

TestFrontEnd::TestFrontEnd()
{
    ui::SetMessageBox(this);
    ui::SetWaitCursor(this);
    ui::SetModifierKeys(this);
}

TestFrontEnd::~TestFrontEnd()
{
    ui::SetMessageBox(nullptr);
    ui::SetWaitCursor(nullptr);
    ui::SetModifierKeys(nullptr);
}

int TestFrontEnd::Show(const std::string& text, unsigned type, unsigned helpId)
{
    if (whileOpen)
        whileOpen(text, helpId);
    int answer;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    } else {
        ++m_unscripted;
        const unsigned buttons = type & 0xF;
        answer = (buttons == ui::MB_YESNO || buttons == ui::MB_YESNOCANCEL) ? ui::IDYES : ui::IDOK;
    }
    m_boxes.push_back({text, type, helpId, answer});
    return answer;
}

} // namespace oskel::test
