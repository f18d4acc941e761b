#pragma once

#include "ui/ListModel.h"
#include "ui/OwnerWindow.h"
#include "ui/Rect.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace oskel::ui {

// Notification codes of a control's command (the classic BN_/LBN_ codes).
enum ControlNotification : int {
    kClicked = 0,    // BN_CLICKED
    kSelChange = 1,  // LBN_SELCHANGE: the user changed a list's selection
    kDoubleClick = 2 // LBN_DBLCLK
};

// What the main dialog's window reports to the dialog's logic. The window
// calls these on the user-interface thread, as the classic window procedure
// would dispatch its messages.
class IUploadDialogEvents {
public:
    virtual ~IUploadDialogEvents() = default;
    // Once, while the window is being created (WM_INITDIALOG); false fails
    // the creation.
    virtual bool OnInitDialog() = 0;
    // A control's command (button clicked, list selection changed, ...).
    virtual void OnCommand(int id, int notification) = 0;
    // A command of the window's menu (the context menu or F1 stand for the
    // system menu here); false lets the window do its default processing.
    virtual bool OnSysCommand(unsigned id) = 0;
    // Enter (IDOK) and Escape (IDCANCEL).
    virtual void OnOK() = 0;
    virtual void OnCancel() = 0;
    // A request to close (close box, Alt+F4, the window manager's Close, or
    // one posted with PostClose).
    virtual void OnClose() = 0;
    // The window is being destroyed and can still be asked for its placement.
    virtual void OnDestroy() = 0;
};

// The main dialog's window (template 102): the logic of CUploadDialog lives
// in the core and drives it through this interface.
class IUploadDialogView : public IOwnerWindow {
public:
    // Builds the window from its template, hidden, with the program's icon;
    // calls events.OnInitDialog() before returning. False when the window
    // could not be made (then no further call is made).
    virtual bool Create(IUploadDialogEvents& events) = 0;
    // Shows the window with the start-up show state and paints it at once.
    virtual void Show() = 0;
    // Destroys the window: calls OnDestroy first, then the window goes.
    virtual void DestroyWindow() = 0;
    // Queues a close request; OnClose follows from the message loop.
    virtual void PostClose() = 0;
    // While a command of the window runs (a camera operation, a question, a
    // dialog it opened) the window is busy: drawn disabled, it takes no
    // input, whatever the dialogs it owns do with EnableWindow meanwhile.
    // When the command is over it is as those dialogs left it, with the
    // focus where it was.
    virtual void SetBusy(bool busy) = 0;
    virtual bool Exists() const = 0;

    // The outer rectangle of the window, in screen pixels.
    virtual Rect GetWindowRect() const = 0;
    // Moves and sizes the window without changing its stacking.
    virtual void SetWindowRect(const Rect& rect) = 0;
    // The normal (restored) rectangle and the show state (ui::ShowState).
    virtual Rect GetNormalRect(int* showState) const = 0;
    // The primary screen's area that windows may use (without panels).
    virtual Rect GetScreenRect() const = 0;
    // False where the desktop keeps window positions from the program (a
    // Wayland compositor): the rectangles above then hold no real place.
    virtual bool KnowsWindowPosition() const { return true; }

    // Appends the About entry to the window's menu, after a separator when
    // the menu has other entries.
    virtual void AppendAboutItem(const std::string& text) = 0;
    // Makes control 1008 the drawn bitmap button and sizes it to its bitmap,
    // moving the neighbouring controls.
    virtual void SetUpUploadButton() = 0;
    // The information panel's colours, as COLORREFs (0x00BBGGRR).
    virtual void SetInfoColors(uint32_t background, uint32_t text) = 0;
    virtual void SetItemText(int id, const std::string& text) = 0;
    virtual std::string GetItemText(int id) const = 0;
    virtual void EnableItem(int id, bool enable) = 0;
    virtual bool IsItemEnabled(int id) const = 0;
    // The client width of a static control and the width of a text in its
    // font, both in pixels.
    virtual int GetClientWidth(int id) const = 0;
    virtual int MeasureItemText(int id, std::string_view text) const = 0;
    // Renders a list control from the model, which outlives the window.
    virtual void BindList(int id, ListModel& model) = 0;
};

} // namespace oskel::ui
