#pragma once

#include "CliContext.h"
#include "CliOptions.h"
#include "InterruptibleSerialOps.h"
#include "terminal/TerminalFrontEnd.h"
#include "terminal/TerminalProgressView.h"

#include "app/SettingsStore.h"
#include "camera/CameraHolder.h"
#include "protocol/TracingSerialOps.h"

#include <fstream>
#include <memory>
#include <string>

namespace oskel::cli {

// The camera connection of one command, made as the program makes it: the
// settings are read from QUIVRAN.INI, Acquire connects (port search, speed
// climb, admission), and at the end the link is closed and "Port" and
// "Speed" are written back, as when the program's window closes.
//
// --port and --speed act as the choices of the camera-not-found dialog
// would: they replace the stored choice for this run and, being written
// back at the end, for the runs after it. The one not given keeps its
// stored value. --accept-older-models and --accept-unknown-models hold the
// hidden key chords down for the whole run, so they act only when a camera
// is admitted, as the chords do: an "SR35" camera is then admitted as an
// unknown model (family 0) and only a later identification reads it as
// family 4. The three-key chord holds the two keys of the other, so
// --accept-unknown-models admits the older families too.
class CliSession {
public:
    CliSession(const CliOptions& options, CliContext& context);
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // kExitOk with the camera connected, after the start-up battery check
    // (string 1600, OK only, as when the program's window opens); otherwise
    // the reason is on the error stream, after `headline` when one is given,
    // and the result is the exit status. An interrupt during the connect
    // gives kExitInterrupted. With --wait a camera that cannot be reached
    // yet is waited for; an interrupt then leaves the settings unwritten.
    int Connect(const std::string& headline = std::string());

    CCameraHolder& Holder() { return m_holder; }
    const TerminalFrontEnd& FrontEnd() const { return m_frontEnd; }
    TerminalFrontEnd& FrontEnd() { return m_frontEnd; }
    CSettingsStore& Settings() { return m_settings; }

    // The program folder of this run, ending with '/': --folder, else the
    // stored "OPFFolder", else the current directory. Never written back.
    std::string Folder();

    CCameraConnection& Connection() { return m_holder.Connection(); }

    // "COM1", with the device it opened when that is known: "COM1 (/dev/ttyUSB0)".
    std::string PortText();
    // "COM1" alone.
    std::string PortName();

    void Error(const std::string& text);
    // Why the camera could not be reached, after `headline` when one is given.
    void ReportFailure(const std::string& headline);

private:
    // --wait: attempts again until the camera answers; false when the time
    // is up, an interrupt came or a camera was refused.
    bool WaitForCamera();

    static CommEnvironment WithSerial(CommEnvironment comm, SerialPortOps* ops);
    // The line under the interrupt check: the context's, or with --trace
    // the same line traced into the file.
    SerialPortOps& Line();

    const CliOptions& m_options;
    CliContext& m_context;
    std::ofstream m_traceFile;
    std::string m_traceError; // why the trace file could not be written
    std::unique_ptr<TracingSerialOps> m_tracing;
    TerminalProgressViews m_views;
    TerminalFrontEnd m_frontEnd;
    InterruptibleSerialOps m_serial;
    CSettingsStore m_settings; // outlives the holder, which writes to it
    CCameraHolder m_holder;
};

} // namespace oskel::cli
