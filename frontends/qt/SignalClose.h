#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QSocketNotifier;

namespace oskel::qt {

class CUploadDialogWindow;

// Ends the desktop program on SIGTERM, SIGHUP and SIGINT as the Close button
// does. The signal handler only writes to a pipe that wakes the event loop;
// from there the ordinary close path runs: during an upload the progress
// window's Cancel is pressed first, a box that can be cancelled is
// cancelled, and the main window is asked to close (position saved, link
// closed, settings written), which it does once the command under way is
// over. A question that has no Cancel waits for its answer. A window found
// already gone ends the program's loop at once. The handlers are installed
// for the object's lifetime; one object at a time.
class CSignalClose final : public QObject {
public:
    CSignalClose();
    ~CSignalClose() override;
    CSignalClose(const CSignalClose&) = delete;
    CSignalClose& operator=(const CSignalClose&) = delete;

    // The window the close request goes to once it exists.
    void SetMainWindow(CUploadDialogWindow* window);
    bool Requested() const { return m_requested; }

private:
    void OnSignal();
    void TryClose();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier* m_pNotifier = nullptr;
    QTimer m_retry;
    QPointer<CUploadDialogWindow> m_window;
    bool m_requested = false;
    bool m_windowSet = false;
    bool m_closePosted = false;
};

} // namespace oskel::qt
