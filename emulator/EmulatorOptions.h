#pragma once

#include "emulator/AdapterModel.h"
#include "emulator/CameraConfig.h"
#include "emulator/FaultScript.h"

#include <cstdint>
#include <string>
#include <vector>

namespace oskel::emulator {

// Everything camera-emulator is told on its command line or in its config
// file. The file holds the same settings as the long options, one
// "name = value" a line ("#" starts a comment); options given on the command
// line win over the file.
struct EmulatorOptions {
    std::string link;                  // symlink to the pty slave
    CameraConfig camera;
    std::vector<std::string> programs; // FILE or FILE=CAMERANAME, stored at power-on in this order
    std::vector<Fault> faults;
    bool randomFaults = false;
    uint32_t randomSeed = 1;
    int randomPermille = 0;
    std::string wireLog;               // "-" for standard output
    std::string dumpFolder;
    std::string storeFile;             // kept holding the store's listing while serving
    bool quiet = false;
    bool keepOnClose = false;          // the PC closing the port leaves the camera as it is
    AdapterModel adapter;              // between the cable and the PC's driver
    bool help = false;
};

// Parses the arguments after the program name. False with a message that
// names the offending option or line.
bool ParseEmulatorOptions(const std::vector<std::string>& args, EmulatorOptions* options, std::string* error);

// Reads each program file into options->camera.programs, checking that the
// camera would hold it (name, header, signature, free memory).
bool LoadInitialPrograms(EmulatorOptions* options, std::string* error);

std::string EmulatorUsage();

} // namespace oskel::emulator
