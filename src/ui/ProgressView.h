#pragma once

#include "ui/OwnerWindow.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace oskel::ui {

// What a front end may show beside the bar while a file is being sent, so
// that throughput and time left can be worked out. All of it is about the
// current file; the bar itself covers the whole run.
struct TransferStats {
    int64_t bytesSent = 0;  // of the current file so far
    int64_t totalBytes = 0; // of the current file
    int lineSpeed = 0;      // bit/s of the serial line, 0 when unknown
    uint32_t elapsedMs = 0; // since the current file's transfer began
};

// The window of the progress dialog (template 3630: a message, a bar with
// the range 0..100 and a Cancel button). The dialog's behaviour lives in the
// core (CDlgProgress); the view only shows what it is told and reports the
// user's request to stop.
class IProgressView {
public:
    virtual ~IProgressView() = default;

    // Creates the window hidden, owned by `owner` (null: no owner) and centred
    // over it. `onCancel` is to be called whenever the user presses Cancel,
    // Enter or Escape or clicks the close box; the window must stay open then.
    // False when the window could not be created.
    virtual bool Create(IOwnerWindow* owner, std::function<void()> onCancel) = 0;
    // Destroys the window (after this, Exists() is false). False on failure.
    virtual bool Destroy() = 0;
    virtual bool Exists() const = 0;

    virtual void Show(bool show) = 0;
    virtual bool IsVisible() const = 0;
    // Shows the window's current state at once (a repaint), as a window does
    // after being shown.
    virtual void Repaint() = 0;

    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetMessage(const std::string& text) = 0;

    virtual void SetBarRange(int low, int high) = 0;
    virtual void SetBarPos(int pos) = 0;
    virtual void SetStats(const TransferStats& stats) = 0;
};

// Makes the progress windows of a front end.
class IProgressViewFactory {
public:
    virtual ~IProgressViewFactory() = default;
    virtual std::unique_ptr<IProgressView> CreateProgressView() = 0;
};

// Installs the front end's factory (null restores the default, which makes
// RecordedProgressView windows).
void SetProgressViewFactory(IProgressViewFactory* factory);
std::unique_ptr<IProgressView> CreateProgressView();

// A progress window without a screen: it keeps its state and a log of what it
// was told. The default for front ends without windows, and the tests' view.
class RecordedProgressView : public IProgressView {
public:
    bool Create(IOwnerWindow* owner, std::function<void()> onCancel) override;
    bool Destroy() override;
    bool Exists() const override { return m_bExists; }
    void Show(bool show) override;
    bool IsVisible() const override { return m_bExists && m_bVisible; }
    void Repaint() override { ++m_nRepaints; }
    void SetCaption(const std::string& text) override;
    void SetMessage(const std::string& text) override;
    void SetBarRange(int low, int high) override;
    void SetBarPos(int pos) override;
    void SetStats(const TransferStats& stats) override { m_stats = stats; }

    // As the user would: the Cancel button, Enter, Escape or the close box.
    void PressCancel();

    IOwnerWindow* Owner() const { return m_pOwner; }
    const std::string& Caption() const { return m_strCaption; }
    const std::string& Message() const { return m_strMessage; }
    int BarLow() const { return m_nLow; }
    int BarHigh() const { return m_nHigh; }
    int BarPos() const { return m_nPos; }
    // Every position the bar was set to, in order.
    const std::vector<int>& Positions() const { return m_positions; }
    // Every message shown, in order.
    const std::vector<std::string>& Messages() const { return m_messages; }
    const TransferStats& Stats() const { return m_stats; }
    int Repaints() const { return m_nRepaints; }
    int Creates() const { return m_nCreates; }
    int Destroys() const { return m_nDestroys; }
    // Whether the owner was enabled at the moment the window was destroyed.
    bool OwnerEnabledAtDestroy() const { return m_bOwnerEnabledAtDestroy; }

    // Makes the next Destroy fail (the window stays).
    void FailNextDestroy() { m_bFailDestroy = true; }

private:
    bool m_bExists = false;
    bool m_bVisible = false;
    IOwnerWindow* m_pOwner = nullptr;
    std::function<void()> m_onCancel;
    std::string m_strCaption;
    std::string m_strMessage;
    int m_nLow = 0;
    int m_nHigh = 100;
    int m_nPos = 0;
    std::vector<int> m_positions;
    std::vector<std::string> m_messages;
    TransferStats m_stats;
    int m_nRepaints = 0;
    int m_nCreates = 0;
    int m_nDestroys = 0;
    bool m_bOwnerEnabledAtDestroy = false;
    bool m_bFailDestroy = false;
};

} // namespace oskel::ui
