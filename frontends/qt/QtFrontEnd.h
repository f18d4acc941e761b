#pragma once

#include "AboutWindow.h"
#include "CameraNotFoundWindow.h"
#include "FolderBrowserWindow.h"
#include "InputBoxWindow.h"
#include "ProgressWindow.h"
#include "QtBoundary.h"
#include "QtMessageBox.h"
#include "ui/MessagePump.h"

#include <QElapsedTimer>

#include <memory>

namespace oskel::qt {

// Lets pending Qt events run while a transfer holds the user-interface
// thread; reports a request to quit the application met meanwhile (Qt keeps
// that request for the main loop, which ends once control is back there).
// While the camera code waits, KeepAlive runs every pending event (painting,
// the window manager's ping and close requests, user input), at most every
// kKeepAliveIntervalMs. The main window is disabled for the whole of a
// camera operation, so what the user does to it meanwhile is dropped there
// and then rather than held back and run once the operation is over.
class QtMessagePump final : public ui::IMessagePump {
public:
    static constexpr int kKeepAliveIntervalMs = 40;

    QtMessagePump();
    ~QtMessagePump() override;
    bool RunPending() override;
    void KeepAlive() override;

private:
    class QuitWatcher;
    std::unique_ptr<QuitWatcher> m_watcher;
    QElapsedTimer m_sinceKeptAlive;
};

// The whole toolkit boundary in Qt, installed for the object's lifetime
// (the defaults come back when it goes): message boxes, wait cursor,
// modifier keys, message pump, the camera-not-found and progress windows,
// the About box, the input box and the folder browser.
// Needs a QApplication.
class QtFrontEnd {
public:
    QtFrontEnd();
    ~QtFrontEnd();
    QtFrontEnd(const QtFrontEnd&) = delete;
    QtFrontEnd& operator=(const QtFrontEnd&) = delete;

private:
    QtMessageBox m_messageBox;
    QtWaitCursor m_waitCursor;
    QtModifierKeys m_modifierKeys;
    QtMessagePump m_pump;
    QtCameraNotFoundView m_cameraNotFound;
    QtProgressViewFactory m_progress;
    QtAboutViewFactory m_about;
    QtInputBoxViewFactory m_inputBox;
    QtFolderBrowserViewFactory m_folderBrowser;
};

} // namespace oskel::qt
