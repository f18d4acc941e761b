#pragma once

#include <string>

namespace oskel::ui {

// Classic message-box style bits and results.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONHAND = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
};

enum : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

// A modal message box. Each front end implements it; the system's code
// reaches the current one through AfxMessageBox().
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // Shows text with the given style bits and returns the button pressed.
    virtual int Show(const std::string& text, unsigned type, unsigned helpId) = 0;
};

// Installs the front end's message box (null restores the default, which
// writes to standard error and answers as if the first button was pressed).
void SetMessageBox(IMessageBox* box);
IMessageBox& CurrentMessageBox();

int AfxMessageBox(const std::string& text, unsigned type = MB_OK, unsigned helpId = 0);

// Shows string idPrompt of the string table (res/StringTable.h); a helpId of
// -1 stands for idPrompt itself.
int AfxMessageBox(unsigned idPrompt, unsigned type = MB_OK, unsigned helpId = static_cast<unsigned>(-1));

} // namespace oskel::ui
