#pragma once

#include "protocol/CameraComm.h"

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace oskel {
class TermiosSerialOps;
}

namespace oskel::cli {

// What a command runs on. The program passes the real serial port, clock
// and settings file; tests pass an emulated line in virtual time.
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    std::string settingsPath;  // "" for the user's settings file
    CommEnvironment comm;      // null members: the real ones
    // The real port, when the commands run on it: --device is set there and
    // the opened device is named from it. Null on an emulated line.
    TermiosSerialOps* termios = nullptr;
    // Where the answers to questions are read from when no --yes, --no or
    // --cancel is given: the terminal, or null when there is none.
    std::istream* prompt = nullptr;
    // Progress is drawn in place (a terminal) rather than written as lines.
    bool errIsTerminal = false;
    // --progress=json: the error stream carries JSON lines and nothing else.
    bool errJsonLines = false;
    // The camera-programs cache (ProgramsCache.h) the commands that read
    // the camera's catalog write and completion reads; "" for none.
    std::string programsCache{};

    // What the run told, for the JSON error object of --json: each error
    // line (without the program's name), and a finer code than the exit
    // status gives ("camera-refused"), empty when the status says it all.
    std::vector<std::string> errors{};
    std::string errorCode{};
    // After a port search that found no camera, the ports tried as a JSON
    // array ([{"port":"COM1","device":"/dev/ttyUSB0","opened":true}]).
    std::string portsTried{};
    // Set when the --trace file lost what was written to it: "FILE: REASON".
    std::string traceWriteError{};
};

// Tells an error: "oskel-uploader-cli: TEXT" on the error stream, or with
// --progress=json one line {"event":"error","message":TEXT}; kept in
// context.errors either way.
void TellError(CliContext& context, const std::string& text);

} // namespace oskel::cli
