#pragma once

#include "CliOptions.h"

#include "ui/CameraNotFoundView.h"
#include "ui/MessageBox.h"
#include "ui/ModifierKeys.h"

#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <vector>

namespace oskel::cli {

// The toolkit boundary on a terminal.
// - A message box prints its text (the string table's, as the program shows
//   it) to the error stream and answers by the policy:
//   * --yes: Yes, or the default button in a box without Yes (OK in every
//     OK/Cancel box of the program);
//   * --no: No, or the default button in a box without No;
//   * --cancel: Cancel, or No in a box without Cancel, or the default;
//   * none of them: with a prompt stream (a terminal), the buttons are
//     offered and the user's choice is read, Enter taking the default;
//     without one, the box's default button (the first, or the second with
//     MB_DEFBUTTON2), the answer a user pressing Enter would give, except
//     for a question whose Yes erases a program in the camera (the update
//     of an older version, the confirmation of a removal): nobody having
//     been asked, it is answered No, and the text says --yes would do it.
//   After an interrupt (Ctrl+C) every box answers as --cancel does.
//   A box with more than one button that is not asked also prints the
//   answer it took.
// - The camera-not-found dialog is never shown: it answers Cancel at once,
//   so a failed connect is not retried, and the command then tells why the
//   camera could not be reached.
// - No key is held down, except the chords HoldModifiers names (the command
//   line's admission options).
// Installs itself for its lifetime and restores the defaults afterwards.
class TerminalFrontEnd final : public ui::IMessageBox, public ui::ICameraNotFoundView, public ui::IModifierKeys {
public:
    // `prompt`: where the answers are read from, or null when nobody is there.
    explicit TerminalFrontEnd(std::ostream& err, AnswerPolicy policy = AnswerPolicy::Ask,
                              std::istream* prompt = nullptr);
    ~TerminalFrontEnd() override;
    TerminalFrontEnd(const TerminalFrontEnd&) = delete;
    TerminalFrontEnd& operator=(const TerminalFrontEnd&) = delete;

    int Show(const std::string& text, unsigned type, unsigned helpId) override;
    int DoModal(ui::ListModel& ports, ui::ListModel& speeds, const ui::CameraNotFoundDetails& details) override;

    unsigned HeldModifiers() override { return m_held; }

    void HoldModifiers(unsigned mask) { m_held = mask; }
    int CameraNotFoundShown() const { return m_notFoundShown; }

    // Every box shown, with the answer it got, in order.
    struct ShownBox {
        std::string text;
        unsigned type = 0;
        int answer = 0;
        unsigned id = 0; // the string's number, 0 when the text has none
        bool unasked = false; // an erasing question answered No without a terminal
    };
    const std::vector<ShownBox>& Shown() const { return m_shown; }
    // While set (a dry run's rehearsal), boxes are printed nowhere, nobody is
    // asked, and each is answered as this policy answers it; still recorded.
    void SetRehearsal(std::optional<AnswerPolicy> policy) { m_rehearsal = policy; }
    // Called before a box is printed (to end a progress line drawn in place).
    void SetBeforeOutput(std::function<void()> hook) { m_beforeOutput = std::move(hook); }
    // --progress=json: each box is one line {"event":"message",...} instead.
    void SetJsonLines(bool on) { m_jsonLines = on; }

    // The button a box of this style answers with when nobody is asked.
    static int DefaultButton(unsigned type);
    // The answer of the policy; Ask is the answer when nobody can be asked.
    static int AnswerFor(AnswerPolicy policy, unsigned type, unsigned id = 0);
    // A question whose Yes erases a program in the camera.
    static bool ErasesOnYes(unsigned id);
    // "OK", "Cancel", "Yes", "No".
    static const char* ButtonName(int button);

private:
    int Ask(const std::string& text, unsigned type, unsigned id, bool* unasked);
    int Answer(const std::string& text, unsigned type, unsigned id, bool* unasked);
    void Print(const std::string& text, unsigned type, int answer, bool unasked);

    std::ostream& m_err;
    AnswerPolicy m_policy;
    std::istream* m_prompt;
    int m_notFoundShown = 0;
    unsigned m_held = 0;
    std::optional<AnswerPolicy> m_rehearsal;
    std::function<void()> m_beforeOutput;
    bool m_jsonLines = false;
    std::vector<ShownBox> m_shown;
};

} // namespace oskel::cli
