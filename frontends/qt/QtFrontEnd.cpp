#include "QtFrontEnd.h"

#include <QCoreApplication>
#include <QEvent>

namespace oskel::qt {

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
    m_watcher->quitSeen = false;
    PumpPendingMessages();
    return !m_watcher->quitSeen;
}

void QtMessagePump::KeepAlive()
{
    if (m_sinceKeptAlive.isValid() && m_sinceKeptAlive.elapsed() < kKeepAliveIntervalMs)
        return;
    // User input is not held back: queued, it would run once the camera is
    // free and start what the user gave up on long ago. It reaches a
    // disabled main window now and is dropped.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_sinceKeptAlive.start();
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
