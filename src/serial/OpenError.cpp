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

void OpenDiagnostics::RecordRefusedSpeed(int index, int bps, int limit)
{
    if (refusedSpeed != 0)
        return; // the first refusal is the one the user asked for
    refusedSpeed = bps;
    speedLimit = limit;
    refusedAtIndex = index;
}

int FastestSpeedBelow(int bps, bool (*accepts)(void* context, int bps), void* context)
{
    static const int kSpeeds[] = {921600, 460800, 230400, 115200, 57600, 38400, 19200, 9600, 4800, 2400, 1200};
    for (int speed : kSpeeds) {
        if (speed < bps && accepts(context, speed))
            return speed;
    }
    return 0;
}

} // namespace oskel
