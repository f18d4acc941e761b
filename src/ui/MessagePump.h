#pragma once

namespace oskel::ui {

// Lets the window messages waiting in the queue run while the one thread is
// busy with a transfer (painting, the progress window's Cancel button).
class IMessagePump {
public:
    virtual ~IMessagePump() = default;
    // Runs every message that is waiting now, without waiting for more.
    // Returns false when a request to quit the application was met; the front
    // end keeps that request for its main loop, so the caller only stops
    // pumping and carries on until its own work checks its status.
    virtual bool RunPending() = 0;
    // The thread is waiting for the camera (an erase, the end of an upload,
    // a port that does not answer). Lets the windows stay alive meanwhile:
    // painting, the window manager's requests and user input run; the main
    // window is busy (disabled) for the whole operation, so that input is
    // dropped and nothing can start another operation. Called often; a front
    // end keeps its own modest pace.
    virtual void KeepAlive() {}
};

// Installs the front end's pump (null restores the default, which has no
// messages and never meets a quit).
void SetMessagePump(IMessagePump* pump);
IMessagePump& CurrentMessagePump();

// What the camera code says while it waits: the current pump's KeepAlive.
inline void StillWaiting()
{
    CurrentMessagePump().KeepAlive();
}

} // namespace oskel::ui
