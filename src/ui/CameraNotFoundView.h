#pragma once

#include "ui/ListModel.h"

#include <string>

namespace oskel::ui {

// What the camera-not-found dialog shows besides its fixed texts: why the
// last attempt failed, when that is known ("" otherwise).
struct CameraNotFoundDetails {
    std::string reason;
    // The reason is one the user can mend at the computer (permissions, a
    // port held by another program, a missing device). The window shows
    // every reason, as the command line does.
    bool userCanFix = false;
};

// The window of the camera-not-found dialog. The dialog's behaviour lives in
// the core; the front end shows the two lists, lets the user change their
// selections, and reports how the dialog ended.
class ICameraNotFoundView {
public:
    virtual ~ICameraNotFoundView() = default;
    // Runs modally; returns IDOK or IDCANCEL. The selections of the lists are
    // the user's choices when it returns.
    virtual int DoModal(ListModel& ports, ListModel& speeds, const CameraNotFoundDetails& details) = 0;
};

// Installs the front end's view (null restores the default, which has no
// window and answers Cancel).
void SetCameraNotFoundView(ICameraNotFoundView* view);
ICameraNotFoundView& CurrentCameraNotFoundView();

} // namespace oskel::ui
