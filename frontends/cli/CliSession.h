#pragma once

#include "CliContext.h"
#include "CliOptions.h"
#include "InterruptibleSerialOps.h"
#include "terminal/TerminalFrontEnd.h"
#include "terminal/TerminalProgressView.h"

#include "app/SettingsStore.h"
#include "camera/CameraHolder.h"
#include "protocol/TracingSerialOps.h"

#include "terminal/CheckedOutput.h"

#include <memory>
#include <string>

namespace oskel::cli {

// The camera connection of one command, made as the program makes it: the
// settings are read from QUIVRAN.INI, Acquire connects (port search, speed
// climb, admission), and at the end the link is closed and "Port" and
// "Speed" are written back, as when the program's window closes.
//
// --port, --speed and --device are for this run only: they replace the
// stored choices while it lasts, and a run given any of them writes neither
// "Port" nor "Speed" back (a script's one-off port never becomes the next
// run's). The one not given keeps its stored value. --accept-older-models and --accept-unknown-models hold the
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
    CliContext& Context() { return m_context; }

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

    // The --trace file; declared first, so it is closed last, after the
    // link's close is traced, and a write that failed is told to the context.
    struct TraceFile {
        CheckedStream stream;
        std::string path;
        CliContext* context = nullptr;
        ~TraceFile();
    };
    // "Only COM3 was tried ...": how to search every port, when it is fixed.
    std::string FixedPortHint();
    // --verbose: the connection's device, speed, adapter driver and latency
    // timer, on the error stream.
    void TellConnection();
    // After a search that found no camera: "Ports tried: COM1 (/dev/ttyUSB0),
    // COM2 (/dev/ttyS0, not opened)." (nothing when no port had a device),
    // and the same list for the JSON error object.
    void TellPortsTried();

    TraceFile m_trace;
    const CliOptions& m_options;
    CliContext& m_context;
    std::string m_traceError; // why the trace file could not be opened
    std::unique_ptr<TracingSerialOps> m_tracing;
    TerminalProgressViews m_views;
    TerminalFrontEnd m_frontEnd;
    InterruptibleSerialOps m_serial;
    CSettingsStore m_settings; // outlives the holder, which writes to it
    CCameraHolder m_holder;
};

} // namespace oskel::cli
