#pragma once

#include "app/DlgInputBox.h"

#include <string_view>

namespace oskel {

// The input box that asks for the name of a new folder. Saving refuses a
// name holding any of the characters Windows forbids in names (so that the
// folder can be shared with the sibling application's systems), and on
// this system also a NUL byte, which would cut the name short; message 4726
// then keeps the box open with the focus on the name.
class CDlgFolderName : public CDlgInputBox {
public:
    using CDlgInputBox::CDlgInputBox;

    // The nine refused characters, in the order the message lists them.
    static constexpr std::string_view kInvalidChars = "\\/:*?\"<>|";

    // True when name holds none of the refused characters (nor NUL).
    static bool IsValidName(std::string_view name);

protected:
    void DoDataExchange(CDataExchange& dx) override;
};

} // namespace oskel
