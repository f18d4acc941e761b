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

} // namespace oskel
