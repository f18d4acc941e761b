#pragma once

#include "terminal/TerminalProgress.h"

#include "ui/MessagePump.h"
#include "ui/ProgressView.h"

#include <functional>
#include <memory>
#include <ostream>

namespace oskel::cli {

// The progress window on a terminal: its message is the item shown, its
// transfer figures are drawn by TerminalProgress (nothing with --quiet).
// The caption and the bar position are kept but not shown: the figures say
// more than the bar.
class TerminalProgressView final : public ui::IProgressView {
public:
    TerminalProgressView(std::ostream& err, bool terminal, bool quiet);
    ~TerminalProgressView() override;

    bool Create(ui::IOwnerWindow* owner, std::function<void()> onCancel) override;
    bool Destroy() override;
    bool Exists() const override { return m_exists; }
    void Show(bool show) override { m_visible = show; }
    bool IsVisible() const override { return m_exists && m_visible; }
    void Repaint() override {}
    void SetCaption(const std::string&) override {}
    void SetMessage(const std::string& text) override;
    void SetBarRange(int, int) override {}
    void SetBarPos(int) override {}
    void SetStats(const ui::TransferStats& stats) override;

    // The Cancel button: what an interrupt presses.
    void PressCancel();
    // Ends a progress line drawn in place, before other output.
    void EndLine() { m_progress.Finish(); }

private:
    TerminalProgress m_progress;
    bool m_quiet;
    bool m_exists = false;
    bool m_visible = false;
    std::function<void()> m_onCancel;
};

// Makes the terminal's progress windows and stands for the message loop
// while a transfer runs: each pending-message run looks for an interrupt
// (Ctrl+C, SIGTERM) and presses Cancel in the live progress window, which
// the transfer sees at its next packet. Installs itself for its lifetime.
class TerminalProgressViews final : public ui::IProgressViewFactory, public ui::IMessagePump {
public:
    TerminalProgressViews(std::ostream& err, bool terminal, bool quiet);
    ~TerminalProgressViews() override;
    TerminalProgressViews(const TerminalProgressViews&) = delete;
    TerminalProgressViews& operator=(const TerminalProgressViews&) = delete;

    std::unique_ptr<ui::IProgressView> CreateProgressView() override;
    bool RunPending() override;

    // Ends the live window's progress line, before a message is printed.
    void EndLine();

private:
    friend class TerminalProgressView;
    std::ostream& m_err;
    bool m_terminal;
    bool m_quiet;
    TerminalProgressView* m_live = nullptr;
};

} // namespace oskel::cli
