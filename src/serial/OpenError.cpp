#include "serial/OpenError.h"

namespace oskel {

namespace {

int Weight(OpenError::Kind kind)
{
    switch (kind) {
    case OpenError::PermissionDenied:
        return 6;
    case OpenError::InUse:
        return 5;
    case OpenError::NotSerial:
        return 4;
    case OpenError::Other:
        return 3;
    case OpenError::NoDevice:
        return 2;
    case OpenError::BadIndex:
        return 1;
    case OpenError::None:
        break;
    }
    return 0;
}

} // namespace

void OpenDiagnostics::Record(const OpenError& error)
{
    if (error.kind == OpenError::None) {
        ++opened;
        return;
    }
    ++failed;
    if (Weight(error.kind) > Weight(worst.kind))
        worst = error;
}

const char* OpenErrorText(OpenError::Kind kind)
{
    switch (kind) {
    case OpenError::None:
        return "no error";
    case OpenError::BadIndex:
        return "no such port";
    case OpenError::NoDevice:
        return "no such device";
    case OpenError::PermissionDenied:
        return "permission denied";
    case OpenError::InUse:
        return "in use by another program";
    case OpenError::NotSerial:
        return "not a serial port";
    case OpenError::Other:
        break;
    }
    return "cannot be opened";
}

} // namespace oskel
