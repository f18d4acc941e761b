#pragma once

namespace oskel::ui {

// A window that owns dialogs: the main dialog. A modeless dialog disables its
// owner while it exists, so the owner's buttons cannot start a second
// operation, and enables it again before its own window goes.
class IOwnerWindow {
public:
    virtual ~IOwnerWindow() = default;
    virtual void EnableWindow(bool enable) = 0;
    virtual bool IsWindowEnabled() const = 0;
};

} // namespace oskel::ui
