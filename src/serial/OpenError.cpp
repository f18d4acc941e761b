#include "serial/OpenError.h"

namespace oskel {

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
