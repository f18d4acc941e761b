#pragma once

namespace oskel::ui {

// The wait cursor (hourglass) shown while the program is busy. The front end
// implements it; Begin and End nest, and the cursor shows while more Begins
// than Ends have been made. The default does nothing.
class IWaitCursor {
public:
    virtual ~IWaitCursor() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;
};

// Installs the front end's wait cursor (null restores the default).
void SetWaitCursor(IWaitCursor* cursor);
IWaitCursor& CurrentWaitCursor();

void BeginWaitCursor();
void EndWaitCursor();

// Shows the wait cursor for the lifetime of the object.
class CWaitCursor {
public:
    CWaitCursor() { BeginWaitCursor(); }
    ~CWaitCursor() { EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

} // namespace oskel::ui
