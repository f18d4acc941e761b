#pragma once

#include "ui/CameraNotFoundView.h"
#include "ui/MessageBox.h"
#include "ui/ModifierKeys.h"

#include <ostream>

namespace oskel::cli {

// The toolkit boundary on a terminal, for scripted use: nobody is there to
// answer, so nothing ever waits for input.
// - A message box prints its text to the error stream and answers with the
//   box's default button (the first, or the second with MB_DEFBUTTON2), the
//   answer a user pressing Enter would give; a box with more than one
//   button also prints the answer it took.
// - The camera-not-found dialog is never shown: it answers Cancel at once,
//   so a failed connect is not retried, and the command then tells why the
//   camera could not be reached.
// - No key is held down, except the chords HoldModifiers names (the command
//   line's admission options).
// Installs itself for its lifetime and restores the defaults afterwards.
class TerminalFrontEnd final : public ui::IMessageBox, public ui::ICameraNotFoundView, public ui::IModifierKeys {
public:
    explicit TerminalFrontEnd(std::ostream& err);
    ~TerminalFrontEnd() override;
    TerminalFrontEnd(const TerminalFrontEnd&) = delete;
    TerminalFrontEnd& operator=(const TerminalFrontEnd&) = delete;

    int Show(const std::string& text, unsigned type, unsigned helpId) override;
    int DoModal(ui::ListModel& ports, ui::ListModel& speeds, const ui::CameraNotFoundDetails& details) override;

    unsigned HeldModifiers() override { return m_held; }

    void HoldModifiers(unsigned mask) { m_held = mask; }
    int CameraNotFoundShown() const { return m_notFoundShown; }

    // The button a box of this style answers with.
    static int DefaultButton(unsigned type);

private:
    std::ostream& m_err;
    int m_notFoundShown = 0;
    unsigned m_held = 0;
};

} // namespace oskel::cli
