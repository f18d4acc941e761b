#include "terminal/TerminalProgressView.h"

#include "CliInterrupt.h"

namespace oskel::cli {
namespace {

TerminalProgressViews* g_views = nullptr;

} // namespace

TerminalProgressView::TerminalProgressView(std::ostream& err, bool terminal, bool quiet)
    : m_progress(err, terminal), m_quiet(quiet)
{
}

TerminalProgressView::~TerminalProgressView()
{
    Destroy();
}

bool TerminalProgressView::Create(ui::IOwnerWindow*, std::function<void()> onCancel)
{
    m_onCancel = std::move(onCancel);
    m_exists = true;
    m_visible = false;
    if (g_views != nullptr)
        g_views->m_live = this;
    return true;
}

bool TerminalProgressView::Destroy()
{
    if (!m_exists)
        return true;
    m_progress.Finish();
    m_exists = false;
    if (g_views != nullptr && g_views->m_live == this)
        g_views->m_live = nullptr;
    return true;
}

// The template's placeholder message is set while the window is still
// hidden; an item is shown once the window is.
void TerminalProgressView::SetMessage(const std::string& text)
{
    if (IsVisible() && !m_quiet)
        m_progress.SetItem(text);
}

void TerminalProgressView::SetStats(const ui::TransferStats& stats)
{
    if (m_exists && !m_quiet)
        m_progress.Update({stats.bytesSent, stats.totalBytes, stats.lineSpeed, stats.elapsedMs});
}

void TerminalProgressView::PressCancel()
{
    if (m_exists && m_onCancel)
        m_onCancel();
}

TerminalProgressViews::TerminalProgressViews(std::ostream& err, bool terminal, bool quiet)
    : m_err(err), m_terminal(terminal), m_quiet(quiet)
{
    g_views = this;
    ui::SetProgressViewFactory(this);
    ui::SetMessagePump(this);
}

TerminalProgressViews::~TerminalProgressViews()
{
    ui::SetMessagePump(nullptr);
    ui::SetProgressViewFactory(nullptr);
    g_views = nullptr;
}

std::unique_ptr<ui::IProgressView> TerminalProgressViews::CreateProgressView()
{
    return std::make_unique<TerminalProgressView>(m_err, m_terminal, m_quiet);
}

bool TerminalProgressViews::RunPending()
{
    if (Interrupted() && m_live != nullptr)
        m_live->PressCancel();
    return true;
}

void TerminalProgressViews::EndLine()
{
    if (m_live != nullptr)
        m_live->EndLine();
}

} // namespace oskel::cli
