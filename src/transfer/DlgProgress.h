#pragma once

#include "transfer/ProgressBarSink.h"
#include "ui/OwnerWindow.h"
#include "ui/ProgressView.h"

#include <memory>
#include <string>

namespace oskel {

// The modeless progress dialog (template 3630, caption "Progress Dialog"
// until replaced): a message, a bar and a Cancel button. It is the progress
// sink of an upload run. While its window exists its owner is disabled, so
// the main dialog cannot start a second operation; the owner is enabled
// again just before the window goes.
//
// Order of use: construct; SetTitle; Create (hidden); Show; then per item
// SetMessage, and per file set m_nLow/m_nHigh and pass the sink to the
// transfer; finally DestroyWindow and delete.
class CDlgProgress : public CProgressBarSink {
public:
    static constexpr const char* kDefaultCaption = "Progress Dialog";

    // `view` is the window the dialog drives (the front end's, by default).
    explicit CDlgProgress(std::unique_ptr<ui::IProgressView> view = ui::CreateProgressView(),
                          ui::IOwnerWindow* parent = nullptr);
    // Destroys a window still there (so its owner is enabled again).
    ~CDlgProgress() override;

    // Creates the window hidden, owned by `parent` (null: the parent given at
    // construction). Non-zero on success.
    int Create(ui::IOwnerWindow* parent = nullptr);
    // Stores the caption and, with a window, shows it at once; null is ignored.
    void SetTitle(const char* text);
    void SetTitle(const std::string& text) { SetTitle(text.c_str()); }
    // Stores the message and, with a window, shows it at once; null is ignored.
    void SetMessage(const char* text);
    void SetMessage(const std::string& text) { SetMessage(text.c_str()); }
    // Shows the window and repaints it at once (nothing without a window).
    void Show();
    // Enables the owner, then destroys the window; when that fails the owner
    // is disabled again. Returns the result of the destruction.
    int DestroyWindow();

    // The Cancel button, Enter, Escape and the close box: the dialog stays
    // open and the next Step returns 2.
    void OnOK() { m_bCancelled = 1; }
    void OnCancel() { m_bCancelled = 1; }

    // Shows a hidden window (remembering that it did); sets the bar to m_nLow.
    int Begin() override;
    // Hides the window again when Begin had shown it.
    int End() override;

    bool HasWindow() const { return m_pView->Exists(); }
    ui::IProgressView& View() { return *m_pView; }
    const std::string& Title() const { return m_strCaption; }
    const std::string& Message() const { return m_strMessage; }

    int m_bShownByBegin = 0;

private:
    void OnInitDialog();

    std::unique_ptr<ui::IProgressView> m_pView;
    ui::IOwnerWindow* m_pDefaultParent;
    ui::IOwnerWindow* m_pParent = nullptr;
    std::string m_strMessage = "Message";
    std::string m_strCaption = kDefaultCaption;
};

} // namespace oskel
