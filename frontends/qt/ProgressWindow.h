#pragma once

#include "TemplateDialog.h"
#include "ui/OwnerWindow.h"
#include "ui/ProgressView.h"

#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QProgressBar;

namespace oskel::ui {
class IOwnerWindow;
}

namespace oskel::qt {

// A Qt window as the owner of dialogs: disabling it disables the window and
// everything in it.
class QtOwnerWindow : public ui::IOwnerWindow {
public:
    explicit QtOwnerWindow(QWidget* widget) : m_widget(widget) {}
    void EnableWindow(bool enable) override;
    bool IsWindowEnabled() const override;
    QWidget* Widget() const { return m_widget; }

private:
    QPointer<QWidget> m_widget;
};

// The Qt window behind an owner: a QtOwnerWindow's widget, or the owner
// itself when it is a QWidget (the main window); null otherwise.
QWidget* OwnerWidget(ui::IOwnerWindow* owner);

// The progress window (template 3630). Cancel, Enter, Escape and the close
// box all report a request to stop and leave the window open; the caller
// closes it. It is a top-level window of its own that stays above its owner
// (see PlaceAbove); its Cancel button stays usable while the owner is
// disabled.
class CProgressWindow : public CTemplateDialog {
    Q_OBJECT
public:
    static constexpr int IDC_MESSAGE = 3632;
    static constexpr int IDC_BAR = 3631;

    static constexpr int IDC_RATE = 3633; // throughput and time left (ours)

    explicit CProgressWindow(std::function<void()> onCancel);

    QLabel* Message() const;
    // Right-aligned on the message area's last line, hidden until known.
    QLabel* Rate() const { return m_rate; }
    QProgressBar* Bar() const;
    int CancelRequests() const { return m_cancelRequests; }

protected:
    void OnOK() override { RequestCancel(); }
    void OnUnitsChanged() override;
    void OnCancel() override { RequestCancel(); }

private:
    void RequestCancel();

    std::function<void()> m_onCancel;
    int m_cancelRequests = 0;
    QLabel* m_rate = nullptr;
};

// The progress view the core's CDlgProgress drives, as a CProgressWindow.
class QtProgressView final : public ui::IProgressView {
public:
    ~QtProgressView() override;

    // Centres the window over the owner's window (OwnerWidget), else over
    // the active window, and keeps it above that window.
    bool Create(ui::IOwnerWindow* owner, std::function<void()> onCancel) override;
    bool Destroy() override;
    bool Exists() const override { return m_window != nullptr; }
    void Show(bool show) override;
    bool IsVisible() const override;
    void Repaint() override;
    void SetCaption(const std::string& text) override;
    void SetMessage(const std::string& text) override;
    void SetBarRange(int low, int high) override;
    void SetBarPos(int pos) override;
    // Shows the current file's throughput and time left under the message.
    void SetStats(const ui::TransferStats& stats) override;

    CProgressWindow* Window() const { return m_window.get(); }
    const ui::TransferStats& Stats() const { return m_stats; }

private:
    std::unique_ptr<CProgressWindow> m_window;
    ui::TransferStats m_stats;
};

// "12.5 KB/s, 3 s left" for the current file, or "" while nothing can be
// told (no bytes or no time yet).
std::string RateText(const ui::TransferStats& stats);

// Whether the current file's rate means something yet: its first second
// has passed and its first two packets have been sent. Before that the
// reading is mostly the announcement's and the first short packet's
// turnaround, and overstates the time left (a file of 16 s read as 32 s).
bool RateSettled(const ui::TransferStats& stats);

class QtProgressViewFactory final : public ui::IProgressViewFactory {
public:
    std::unique_ptr<ui::IProgressView> CreateProgressView() override { return std::make_unique<QtProgressView>(); }
};

} // namespace oskel::qt
