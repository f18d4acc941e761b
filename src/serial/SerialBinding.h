#pragma once

#include "platform/LibraryLoader.h"
#include "serial/SerialPortOps.h"

#include <memory>

namespace oskel {

class PlatformInfo;

// The serial table a camera communication object uses, and the library that
// backs it when the table comes from the old serial library.
struct SerialBinding {
    SerialPortOps* ops = nullptr;
    std::unique_ptr<SerialPortOps> owned;
    LibraryLoader::Handle library = nullptr;
};

constexpr const char* kSerialLibraryName = "qrixcomm.dll";
constexpr const char* kSerialLibraryMissing = "Error: QRIXCOMM.DLL not found";
constexpr const char* kSerialLibraryIncomplete =
    "Error: QRIXCOMM.DLL lacks a serial function; the built-in serial port driver is used instead";

// On the Win32s platform the table is the serial library's nine exports,
// bound by name; everywhere else (and when the library or one of its
// exports is missing, after one warning) it is `native`.
SerialBinding ChooseSerialBinding(PlatformInfo& platform, LibraryLoader& loader, SerialPortOps& native);

} // namespace oskel
