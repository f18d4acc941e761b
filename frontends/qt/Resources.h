#pragma once

#include <QIcon>
#include <QImage>

#include <string>

namespace oskel::qt {

// The named bitmap resource (res/BitmapResources.h), or a null image.
QImage LoadBitmapResource(const std::string& name);

// The icon with this id (all its sizes), or a null icon.
QIcon LoadIconResource(unsigned id);

// The program icon (icon 128): the windows' icon and the About box's.
QIcon ProgramIcon();

} // namespace oskel::qt
