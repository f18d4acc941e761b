#include "CliSession.h"

#include "TerminalText.h"

#include "camera/ConnectFailureText.h"
#include "serial/PortMap.h"
#include "serial/TermiosSerialOps.h"

namespace oskel::cli {
namespace {

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

} // namespace

CliSession::CliSession(const CliOptions& options, CliContext& context)
    : m_options(options), m_context(context), m_frontEnd(context.err), m_settings(OpenSettings(context.settingsPath)),
      m_holder(m_settings.File(), context.comm)
{
}

int CliSession::Connect()
{
    unsigned held = 0;
    if (m_options.acceptOlderModels)
        held |= CCameraConnection::kOlderModelsChord;
    if (m_options.acceptUnknownModels)
        held |= CCameraConnection::kUnknownModelsChord;
    m_frontEnd.HoldModifiers(held);
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
    if (m_options.port || m_options.speed) {
        const int port = m_options.port.value_or(c.StoredPortChoice());
        const int speed = m_options.speed.value_or(c.StoredSpeedChoice());
        if (!c.SetPortAndSpeed(port, speed)) {
            ReportFailure();
            return kExitNoCamera;
        }
    }
    if (m_holder.Acquire() == nullptr) {
        ReportFailure();
        return kExitNoCamera;
    }
    // As the program's callers do: the connection stays open, the holder is
    // free for the next Acquire.
    m_holder.Release();
    return kExitOk;
}

void CliSession::ReportFailure()
{
    const ConnectFailure& failure = Connection().LastFailure();
    const std::string reason = DescribeConnectFailure(failure);
    Error(reason.empty() ? "The camera could not be reached." : reason);
    if (failure.kind == ConnectFailure::Refused)
        Error(RefusalHint(failure.family));
}

std::string CliSession::PortText()
{
    const int index = static_cast<int16_t>(Connection().GetPort());
    const std::vector<std::string>& names = CCameraConnection::PortNames();
    std::string text = index >= 0 && index < static_cast<int>(names.size()) ? names[index] : PortMap::PortName(index);
    if (m_context.termios != nullptr && !m_context.termios->OpenDevice().empty())
        text += " (" + m_context.termios->OpenDevice() + ")";
    return text;
}

void CliSession::Error(const std::string& text)
{
    m_context.err << kProgramName << ": " << text << '\n';
    m_context.err.flush();
}

} // namespace oskel::cli
