#include "SignalClose.h"

#include "ProgressWindow.h"
#include "UploadDialogWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace oskel::qt {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int kRetryMs = 100;

int g_writeEnd = -1;

void OnSignalDelivered(int signo)
{
    const int saved = errno;
    const char byte = static_cast<char>(signo);
    if (g_writeEnd >= 0)
        (void)!write(g_writeEnd, &byte, 1);
    errno = saved;
}

void SetHandler(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signo : kSignals)
        sigaction(signo, &action, nullptr);
}

// The progress windows' Cancel, as the user would press it.
void CancelTransfers()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* progress = qobject_cast<CProgressWindow*>(top);
        if (progress == nullptr || !progress->isVisible())
            continue;
        if (auto* cancel = qobject_cast<QAbstractButton*>(progress->GetDlgItem(2)))
            cancel->click();
    }
}

// Answers the modal window in front with its Cancel; false when it has none
// (a Yes/No question), which is left for the user.
bool CancelModal(QWidget* modal)
{
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        if (box->escapeButton() == nullptr)
            return false;
        box->escapeButton()->click();
        return true;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
        return true;
    }
    return false;
}

} // namespace

CSignalClose::CSignalClose()
{
    if (pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_writeEnd = m_pipe[1];
    m_pNotifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, [this] { OnSignal(); });
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] { TryClose(); });
    SetHandler(OnSignalDelivered);
}

CSignalClose::~CSignalClose()
{
    if (m_pipe[0] < 0)
        return;
    SetHandler(SIG_DFL);
    g_writeEnd = -1;
    close(m_pipe[0]);
    close(m_pipe[1]);
}

void CSignalClose::SetMainWindow(CUploadDialogWindow* window)
{
    m_window = window;
    m_windowSet = true;
    if (m_requested)
        TryClose();
}

void CSignalClose::OnSignal()
{
    char bytes[16];
    while (read(m_pipe[0], bytes, sizeof bytes) > 0) {
    }
    if (m_closePosted)
        return;
    const bool first = !m_requested;
    m_requested = true;
    if (first)
        CancelTransfers();
    TryClose();
}

void CSignalClose::TryClose()
{
    if (m_closePosted)
        return;
    m_retry.stop();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        CancelModal(modal);
        m_retry.start();
        return;
    }
    if (!m_windowSet) {
        // Still starting up: the window, or the end of the start-up, comes.
        m_retry.start();
        return;
    }
    m_closePosted = true;
    if (m_window.isNull() || !m_window->Exists()) {
        // The window is gone already: its end is the program's end.
        QCoreApplication::exit(0);
        return;
    }
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    // During a command the main dialog keeps the request until the command
    // is over (a transfer was told to stop; an erase is never cut short).
    m_window->PostClose();
}

} // namespace oskel::qt
