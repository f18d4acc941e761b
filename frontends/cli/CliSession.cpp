#include "CliSession.h"

#include "CameraWait.h"
#include "CliInterrupt.h"
#include "report/JsonWriter.h"
#include "terminal/TerminalText.h"

#include "camera/CommSettings.h"
#include "camera/ConnectFailureText.h"
#include "platform/ProfileFile.h"
#include "platform/TimeSource.h"
#include "res/StringIds.h"
#include "ui/MessageBox.h"
#include "serial/PortFacts.h"
#include "serial/PortMap.h"
#include "serial/PortOverrides.h"
#include "serial/TermiosSerialOps.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>

namespace oskel::cli {
namespace {

constexpr const char* kUploadDialogSection = "UploadDialog";
constexpr const char* kFolderKey = "OPFFolder";

CSettingsStore OpenSettings(const std::string& path)
{
    return path.empty() ? CSettingsStore() : CSettingsStore(path);
}

std::string RefusalHint(int family)
{
    if (family >= 1 && family <= 3)
        return "It is an older model (family " + std::to_string(family) +
               "): --accept-older-models admits it.";
    return "Its model is unknown (family " + std::to_string(family) +
           "): --accept-unknown-models admits it.";
}

// The trace's first line: the program, when, and the device the first open
// goes to (--device, else the settings' port and what it maps to).
std::string TraceHeader(const CliOptions& options, const std::string& settingsPath)
{
    char when[32] = "?";
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    if (gmtime_r(&now, &utc) != nullptr)
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S UTC", &utc);
    std::string device = options.device.value_or(std::string());
    const ProfileFile settings(settingsPath.empty() ? SettingsFilePath() : settingsPath);
    const int stored = settings.GetInt(kCommSection, kPortKey, kDefaultPortSetting);
    int port = options.port.value_or((stored & SETTING_AUTO) != 0 ? -1 : static_cast<int16_t>(stored & 0xFFFF));
    const bool searched = port < 0;
    if (searched)
        port = std::max(0, static_cast<int>(static_cast<int16_t>(stored & 0xFFFF)));
    if (device.empty()) {
        PortMap map;
        map.SetOverrideSource(SettingsPortOverrides());
        device = map.DeviceFor(port);
    }
    return std::string("# ") + kProgramName + " " + OSKEL_VERSION + " wire trace, started " + when + "; device " +
           (device.empty() ? std::string("(none)") : Printable(device)) + " at " + PortMap::PortName(port) +
           (searched ? ", the port searched" : ", the port fixed") + "\n";
}

} // namespace

CliSession::TraceFile::~TraceFile()
{
    if (!stream.Output().Close() && context != nullptr && !path.empty())
        context->traceWriteError = path + ": " + stream.Output().Reason();
}

CliSession::CliSession(const CliOptions& options, CliContext& context)
    : m_options(options), m_context(context),
      m_views(context.err, context.errIsTerminal, options.quiet || options.progressJson),
      m_frontEnd(context.err, options.answers, context.prompt),
      m_serial(Line()),
      m_settings(OpenSettings(context.settingsPath)), m_holder(m_settings.File(), WithSerial(context.comm, &m_serial))
{
    m_frontEnd.SetBeforeOutput([this] { m_views.EndLine(); });
    m_serial.SetDeviceNamer([this](bool opened) {
        const TermiosSerialOps* termios = m_context.termios;
        if (termios == nullptr)
            return std::string();
        return opened ? termios->OpenDevice() : termios->LastOpenError().device;
    });
    m_context.errJsonLines = m_context.errJsonLines || options.progressJson;
    m_frontEnd.SetJsonLines(m_context.errJsonLines);
    // "Port" and "Speed" are written as the session ends: a choice that
    // cannot be kept is told then (the status stays what the command made it).
    m_settings.SetSaveFailureReport([this](const std::string& line) { Error(line); });
    // A second interrupt: the packet under way is out; close the link so the
    // camera is ready for the next run, then end without further ado.
    m_serial.SetHardStop([this] {
        m_serial.DrainInput();
        Connection().Close();
        Error("interrupted");
        std::_Exit(kExitInterrupted);
    });
}

SerialPortOps& CliSession::Line()
{
    SerialPortOps& line = m_context.comm.nativeOps != nullptr ? *m_context.comm.nativeOps : TermiosSerialOps::Shared();
    if (!m_options.trace)
        return line;
    if (!m_trace.stream.Output().Open(*m_options.trace)) {
        m_traceError = m_trace.stream.Output().Reason();
    } else {
        m_trace.path = *m_options.trace;
        m_trace.context = &m_context;
        m_trace.stream << TraceHeader(m_options, m_context.settingsPath);
    }
    std::function<uint64_t()> nowUs;
    if (TimeSource* time = m_context.comm.time)
        nowUs = [time] { return static_cast<uint64_t>(time->TickCount()) * 1000u; };
    m_tracing = std::make_unique<TracingSerialOps>(line, m_trace.stream, std::move(nowUs));
    return *m_tracing;
}

CommEnvironment CliSession::WithSerial(CommEnvironment comm, SerialPortOps* ops)
{
    comm.nativeOps = ops;
    return comm;
}

int CliSession::Connect(const std::string& headline)
{
    unsigned held = 0;
    if (m_options.acceptOlderModels)
        held |= CCameraConnection::kOlderModelsChord;
    if (m_options.acceptUnknownModels)
        held |= CCameraConnection::kUnknownModelsChord;
    m_frontEnd.HoldModifiers(held);
    if (!m_traceError.empty()) {
        Error("--trace " + *m_options.trace + ": " + m_traceError);
        return kExitUsage;
    }
    if (m_options.device) {
        if (m_context.termios == nullptr) {
            Error("--device needs a real serial port");
            return kExitUsage;
        }
    }

    CCameraConnection& c = Connection();
    if (m_options.device) {
        // The device stands at the one port the connection tries first, so
        // a port search does not try it again under every other name.
        const int port = m_options.port.value_or(-1);
        m_context.termios->SetDeviceOverride(*m_options.device, port >= 0 ? port : c.PortSetting());
    }
    const int portCount = static_cast<int>(CCameraConnection::PortNames().size());
    if (m_options.port && *m_options.port >= portCount) {
        Error(PortMap::PortName(*m_options.port) + " is not among the " + std::to_string(portCount) +
              " ports of the \"MaxPort\" setting");
        return kExitUsage;
    }
    if (m_options.port || m_options.speed || m_options.device)
        c.KeepStoredSettings();
    bool reached = true;
    if (m_options.port || m_options.speed) {
        const int port = m_options.port.value_or(c.StoredPortChoice());
        const int speed = m_options.speed.value_or(c.StoredSpeedChoice());
        reached = c.SetPortAndSpeed(port, speed) != 0;
    }
    reached = reached && m_holder.Acquire() != nullptr;
    if (!reached && m_options.wait)
        reached = WaitForCamera();
    if (!reached) {
        ReportFailure(headline);
        return Interrupted() ? kExitInterrupted : kExitNoCamera;
    }
    // As the program's callers do: the connection stays open, the holder is
    // free for the next Acquire.
    m_holder.Release();
    if (Interrupted()) {
        Error("interrupted");
        return kExitInterrupted;
    }
    if (m_options.verbose)
        TellConnection();
    if (!c.IsBatteryOk())
        ui::AfxMessageBox(res::IDS_BATTERY_LOW, ui::MB_ICONEXCLAMATION);
    return kExitOk;
}

// Plain lines, as `probe` words them, never on standard output: a script
// reading --json or a pipe gets the same bytes with --verbose as without.
void CliSession::TellConnection()
{
    m_views.EndLine();
    const std::string device = m_context.termios != nullptr ? m_context.termios->OpenDevice() : std::string();
    std::ostream& err = m_context.err;
    err << "Port: " << Printable(PortText()) << '\n' << "Speed: " << Connection().GetSpeed() << " bit/s\n";
    if (!device.empty()) {
        const PortFacts facts = GatherPortFacts(device);
        if (!facts.driver.empty())
            err << "Driver: " << Printable(facts.driver)
                << (facts.usb ? " (USB " + Printable(facts.vendorId + ":" + facts.productId) + ")" : std::string())
                << '\n';
    }
    // The timer as the driver has it after the open; above 2 ms the line
    // carries the command that sets 1 ms.
    if (const OpenDiagnostics d = m_serial.GetOpenDiagnostics(); d.latencyTimerMs >= 0)
        err << "Adapter: " << LatencyTimerLine(d.latencyDevice, d.latencyTimerMs) << '\n';
    err.flush();
}

bool CliSession::WaitForCamera()
{
    std::vector<std::string> named;
    if (m_options.device)
        named.push_back(*m_options.device);
    const PortMap::OverrideSource overrides = SettingsPortOverrides();
    for (int i = 0; i < static_cast<int>(CCameraConnection::PortNames().size()); ++i) {
        if (std::string device = overrides(i); !device.empty())
            named.push_back(device);
    }
    CameraWait wait(*m_options.wait, named);
    if (m_context.errIsTerminal && !m_options.quiet) {
        m_views.EndLine();
        m_context.err << "Waiting for the camera..." << std::endl;
    }
    while (Connection().LastFailure().kind != ConnectFailure::Refused && wait.Next()) {
        if (m_holder.Acquire() != nullptr)
            return true;
    }
    // Given up before any camera answered: the stored choices stay as they were.
    if (Interrupted())
        Connection().KeepStoredSettings();
    return false;
}

std::string CliSession::Folder()
{
    std::string folder = m_options.folder.value_or(std::string());
    if (folder.empty())
        folder = m_settings.GetProfileString(kUploadDialogSection, kFolderKey);
    if (folder.empty()) {
        std::error_code ec;
        folder = std::filesystem::current_path(ec).string();
    }
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

void CliSession::ReportFailure(const std::string& headline)
{
    if (Interrupted()) {
        Error("interrupted");
        return;
    }
    if (!headline.empty())
        Error(headline);
    const ConnectFailure& failure = Connection().LastFailure();
    const std::string reason = DescribeConnectFailure(failure);
    Error(reason.empty() ? "The camera could not be reached." : reason);
    if (failure.kind == ConnectFailure::Refused) {
        m_context.errorCode = "camera-refused";
        if (!failure.modelTextUnread)
            Error(RefusalHint(failure.family));
    } else if (const std::string hint = FixedPortHint(); !hint.empty()) {
        Error(hint);
    } else if (failure.kind != ConnectFailure::None) {
        TellPortsTried();
    }
}

void CliSession::TellPortsTried()
{
    std::string text, json;
    for (const InterruptibleSerialOps::TriedPort& port : m_serial.TriedPorts()) {
        std::string detail = Printable(port.device);
        if (!port.opened)
            detail += (detail.empty() ? "" : ", ") + std::string("not opened");
        text += (text.empty() ? "" : ", ") + PortMap::PortName(port.index);
        if (!detail.empty())
            text += " (" + detail + ")";
        JsonObject item;
        item.Add("port", PortMap::PortName(port.index));
        if (port.device.empty())
            item.AddRaw("device", "null");
        else
            item.Add("device", port.device);
        json += (json.empty() ? "" : ",") + item.Add("opened", port.opened).Text();
    }
    if (!text.empty())
        Error("Ports tried: " + text + ".");
    m_context.portsTried = "[" + json + "]";
}

std::string CliSession::FixedPortHint()
{
    CCameraConnection& c = Connection();
    const int port = c.StoredPortChoice();
    if (port < 0)
        return std::string();
    std::string device = m_options.device.value_or(std::string());
    if (device.empty()) {
        PortMap map;
        map.SetOverrideSource(SettingsPortOverrides());
        device = map.DeviceFor(port);
    }
    return "Only " + PortMap::PortName(port) + (device.empty() ? "" : " (" + Printable(device) + ")") +
           " was tried: the port is fixed" + (m_options.port ? " by --port" : " in the settings") +
           ". --port auto searches every port for this run; 'oskel-uploader-cli ports' lists them.";
}

std::string CliSession::PortName()
{
    const int index = static_cast<int16_t>(Connection().GetPort());
    const std::vector<std::string>& names = CCameraConnection::PortNames();
    return index >= 0 && index < static_cast<int>(names.size()) ? names[index] : PortMap::PortName(index);
}

std::string CliSession::PortText()
{
    std::string text = PortName();
    if (m_context.termios != nullptr && !m_context.termios->OpenDevice().empty())
        text += " (" + m_context.termios->OpenDevice() + ")";
    return text;
}

void CliSession::Error(const std::string& text)
{
    m_views.EndLine();
    TellError(m_context, text);
}

} // namespace oskel::cli
