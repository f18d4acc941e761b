#pragma once

#include "CameraNotFoundWindow.h"
#include "ProgressWindow.h"
#include "QtBoundary.h"
#include "QtMessageBox.h"
#include "ui/MessagePump.h"

namespace oskel::qt {

// Lets pending Qt events run while a transfer holds the user-interface
// thread; reports a request to quit the application met meanwhile (Qt keeps
// that request for the main loop, which ends once control is back there).
class QtMessagePump final : public ui::IMessagePump {
public:
    QtMessagePump();
    ~QtMessagePump() override;
    bool RunPending() override;

private:
    class QuitWatcher;
    std::unique_ptr<QuitWatcher> m_watcher;
};

// The whole toolkit boundary in Qt, installed for the object's lifetime
// (the defaults come back when it goes): message boxes, wait cursor,
// modifier keys, message pump, the camera-not-found and progress windows.
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
};

} // namespace oskel::qt
