#pragma once

#include "ui/MessageBox.h"
#include "ui/ModifierKeys.h"
#include "ui/WaitCursor.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace oskel::test {

// The toolkit boundary for tests: message boxes answered from a script and
// recorded, modifier keys set by the test, wait-cursor calls counted.
// Installs itself for its lifetime and restores the defaults afterwards.
class TestFrontEnd final : public ui::IMessageBox, public ui::IWaitCursor, public ui::IModifierKeys {
public:
    struct ShownBox {
        std::string text;
        unsigned type;
        unsigned helpId;
        int answer;
    };

    TestFrontEnd();
    ~TestFrontEnd() override;
    TestFrontEnd(const TestFrontEnd&) = delete;
    TestFrontEnd& operator=(const TestFrontEnd&) = delete;

    // The answers of the next boxes, in order. A box shown when none is left
    // gets the first button of its style (IDOK or IDYES) and is counted as
    // unscripted.
    void Answer(int result) { m_answers.push_back(result); }
    const std::vector<ShownBox>& Boxes() const { return m_boxes; }
    int UnscriptedBoxes() const { return m_unscripted; }
    // Runs while a box is open, before its answer is given (the user acting
    // elsewhere meanwhile).
    std::function<void(const std::string& text, unsigned helpId)> whileOpen;
    size_t PendingAnswers() const { return m_answers.size(); }

    void SetModifiers(unsigned mask) { m_modifiers = mask; }

    int WaitCursorBegins() const { return m_begins; }
    int WaitCursorEnds() const { return m_ends; }
    // Begins not yet ended; negative after an unmatched End.
    int WaitCursorDepth() const { return m_begins - m_ends; }

    int Show(const std::string& text, unsigned type, unsigned helpId) override;
    void Begin() override { ++m_begins; }
    void End() override { ++m_ends; }
    unsigned HeldModifiers() override { return m_modifiers; }

private:
    std::deque<int> m_answers;
    std::vector<ShownBox> m_boxes;
    int m_unscripted = 0;
    unsigned m_modifiers = 0;
    int m_begins = 0;
    int m_ends = 0;
};

} // namespace oskel::test
