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
// While the camera code waits, KeepAlive runs painting and the window
// system's events (the window manager's ping included) but holds back user
// input, at most every kKeepAliveIntervalMs.
class QtMessagePump final : public ui::IMessagePump {
public:
    static constexpr int kKeepAliveIntervalMs = 40;

    QtMessagePump();
    ~QtMessagePump() override;
    bool RunPending() override;
    void KeepAlive() override;

    // True while events run from inside an operation (a transfer's pump or a
    // wait for the camera) rather than from an event loop of their own.
    static bool InsideOperation();

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
