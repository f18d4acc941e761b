#pragma once

#include "ui/ModifierKeys.h"
#include "ui/WaitCursor.h"

#include <Qt>

namespace oskel::qt {

// The wait cursor as Qt's override cursor: each Begin sets one and each End
// restores one, so they pair up however they nest; an End without a Begin
// does nothing.
class QtWaitCursor final : public ui::IWaitCursor {
public:
    ~QtWaitCursor() override;
    void Begin() override;
    void End() override;
    int Depth() const { return m_depth; }

private:
    int m_depth = 0;
};

// The modifier keys held at this moment, as the keyboard reports them.
class QtModifierKeys final : public ui::IModifierKeys {
public:
    unsigned HeldModifiers() override;
};

// The classic mask of Qt's modifier flags.
unsigned ModifierMask(Qt::KeyboardModifiers modifiers);

// Lets every pending event run (painting, clicks on a Cancel button, timers)
// and returns; used while a transfer runs on the user-interface thread. A
// request to quit made meanwhile still ends the application's main loop
// once control is back there.
void PumpPendingMessages();

} // namespace oskel::qt
