#pragma once

#include "ui/AboutView.h"
#include "ui/OwnerWindow.h"

#include <memory>
#include <string>
#include <vector>

namespace oskel {

class CCameraHolder;

// The modeless About box (template 100): the program's name and version
// and, below a separator, what the connected camera reports about itself.
// While it is visible its parent (the main dialog) is disabled.
class CDlgAbout {
public:
    static constexpr int IDD = 100;
    static constexpr int IDC_CAMERA_INFO = 1013;    // first camera line (lower)
    static constexpr int IDC_NOTICE = 1014;         // one-line notice
    static constexpr int IDC_CAMERA_VERSION = 1012; // second camera line (upper)
    static constexpr int IDC_PROGRAM_VERSION = 1015;

    CDlgAbout() = default;
    // Destroys the window without touching the parent any more.
    ~CDlgAbout();
    CDlgAbout(const CDlgAbout&) = delete;
    CDlgAbout& operator=(const CDlgAbout&) = delete;

    // Remembers the parent and creates the hidden window through the front
    // end's factory (or `view`). False when no window could be made.
    bool Create(ui::IOwnerWindow* parent);
    bool Create(ui::IOwnerWindow* parent, std::unique_ptr<ui::IAboutView> view);

    bool IsWindow() const { return m_pView != nullptr && m_pView->Exists(); }
    void ShowWindow();
    void UpdateWindow();
    void SetDlgItemText(int id, const std::string& text);

    // The window was shown (parent disabled) or hidden (parent enabled).
    void OnShowWindow(bool show);

    ui::IAboutView* View() { return m_pView.get(); }

private:
    ui::IOwnerWindow* m_pParent = nullptr;
    std::unique_ptr<ui::IAboutView> m_pView;
};

// The About boxes of one main dialog: each About command makes a new one; a
// closed box is only hidden, and all go with the main dialog.
using AboutBoxes = std::vector<std::unique_ptr<CDlgAbout>>;

// The main dialog's About command: shows a new box at once with "Getting
// camera information...", then contacts the camera through the holder (the
// camera-not-found dialog may run in front of the box) and fills in the
// camera's version and id, or "The camera is not connected.". Returns the
// new box, kept in `boxes`.
CDlgAbout& ShowAboutBox(CCameraHolder& holder, ui::IOwnerWindow* mainDialog, AboutBoxes& boxes);

} // namespace oskel
