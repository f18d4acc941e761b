#pragma once

#include "ui/OwnerWindow.h"

#include <memory>
#include <string>

namespace oskel::ui {

// What the input box's window tells the dialog (CDlgInputBox).
class IInputBoxHandler {
public:
    virtual ~IInputBoxHandler() = default;
    // The window and its controls exist; returns true for the default focus.
    virtual bool OnInitDialog() = 0;
    // OK button or Enter.
    virtual void OnOK() = 0;
    // Cancel button, Escape or the close box.
    virtual void OnCancel() = 0;
};

// The window of the input box (template 5320: a prompt, an edit field, OK
// and Cancel). The dialog drives it through the control ids of the template.
class IInputBoxView {
public:
    virtual ~IInputBoxView() = default;

    // Runs the window modally, owned by `owner` (null: no owner): calls
    // OnInitDialog once the window exists, then the handler for each command,
    // until EndDialog. Returns the EndDialog result, or IDCANCEL when the
    // window could not be made.
    virtual int DoModal(IOwnerWindow* owner, IInputBoxHandler& handler) = 0;

    // While the window runs:
    virtual std::string GetItemText(int id) const = 0;
    virtual void SetItemText(int id, const std::string& text) = 0;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void CenterWindow() = 0;
    // Moves the focus to a control (an edit field's text is then selected).
    virtual void GotoDlgCtrl(int id) = 0;
    virtual void EndDialog(int result) = 0;
};

// Makes the input box windows of a front end.
class IInputBoxViewFactory {
public:
    virtual ~IInputBoxViewFactory() = default;
    virtual std::unique_ptr<IInputBoxView> CreateInputBoxView() = 0;
};

// Installs the front end's factory (null restores the default, whose window
// cannot be made: every input box is cancelled).
void SetInputBoxViewFactory(IInputBoxViewFactory* factory);
std::unique_ptr<IInputBoxView> CreateInputBoxView();

} // namespace oskel::ui
