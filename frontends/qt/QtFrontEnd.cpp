#include "QtFrontEnd.h"

#include <QCoreApplication>
#include <QEvent>

namespace oskel::qt {
namespace {

int g_operationDepth = 0;

// Counts the events run from inside an operation for its lifetime.
class OperationEvents {
public:
    OperationEvents() { ++g_operationDepth; }
    ~OperationEvents() { --g_operationDepth; }
    OperationEvents(const OperationEvents&) = delete;
    OperationEvents& operator=(const OperationEvents&) = delete;
};

} // namespace

// Notes every quit request the application receives.
class QtMessagePump::QuitWatcher final : public QObject {
public:
    bool quitSeen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
            quitSeen = true;
        return false;
    }
};

QtMessagePump::QtMessagePump() : m_watcher(std::make_unique<QuitWatcher>())
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(m_watcher.get());
}

QtMessagePump::~QtMessagePump()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(m_watcher.get());
}

bool QtMessagePump::RunPending()
{
    OperationEvents inside;
    m_watcher->quitSeen = false;
    PumpPendingMessages();
    return !m_watcher->quitSeen;
}

void QtMessagePump::KeepAlive()
{
    if (m_sinceKeptAlive.isValid() && m_sinceKeptAlive.elapsed() < kKeepAliveIntervalMs)
        return;
    {
        OperationEvents inside;
        // User input stays queued for later: the wait cursor and a disabled
        // window stay as they are, and no operation can start meanwhile.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    m_sinceKeptAlive.start();
}

bool QtMessagePump::InsideOperation()
{
    return g_operationDepth > 0;
}

QtFrontEnd::QtFrontEnd()
{
    ui::SetMessageBox(&m_messageBox);
    ui::SetWaitCursor(&m_waitCursor);
    ui::SetModifierKeys(&m_modifierKeys);
    ui::SetMessagePump(&m_pump);
    ui::SetCameraNotFoundView(&m_cameraNotFound);
    ui::SetProgressViewFactory(&m_progress);
    ui::SetAboutViewFactory(&m_about);
    ui::SetInputBoxViewFactory(&m_inputBox);
    ui::SetFolderBrowserViewFactory(&m_folderBrowser);
}

QtFrontEnd::~QtFrontEnd()
{
    ui::SetFolderBrowserViewFactory(nullptr);
    ui::SetInputBoxViewFactory(nullptr);
    ui::SetAboutViewFactory(nullptr);
    ui::SetProgressViewFactory(nullptr);
    ui::SetCameraNotFoundView(nullptr);
    ui::SetMessagePump(nullptr);
    ui::SetModifierKeys(nullptr);
    ui::SetWaitCursor(nullptr);
    ui::SetMessageBox(nullptr);
}

} // namespace oskel::qt
