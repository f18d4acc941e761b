#include "commands/CliCommands.h"
#include "CliSession.h"
#include "report/JsonWriter.h"
#include "terminal/TerminalText.h"

#include "camera/CameraIdentityText.h"
#include "serial/PortFacts.h"
#include "serial/PortHolders.h"
#include "serial/TermiosSerialOps.h"

namespace oskel::cli {
namespace {

constexpr size_t kModelTextSize = 64;

std::string FamilyText(int family)
{
    std::string text = std::to_string(family);
    if (family == 4 || family == 5)
        return text + " (supported)";
    if (family >= 1 && family <= 3)
        return text + " (older model, admitted)";
    return text + " (unknown model, admitted)";
}

std::string HoldersJson(const std::vector<PortHolder>& holders)
{
    std::string list;
    for (const PortHolder& h : holders)
        list += (list.empty() ? "" : ",") + JsonObject().Add("pid", h.pid).Add("name", h.name).Text();
    return "[" + list + "]";
}

} // namespace

int RunProbe(const CliOptions& options, CliContext& context)
{
    CliSession session(options, context);
    if (const int status = session.Connect(); status != kExitOk)
        return status;
    CCameraConnection& camera = session.Connection();

    // The same holder check as `ports`: another program with the device
    // open (without the lock a connect honours) may take the camera's answers.
    std::vector<PortHolder> holders;
    const std::string device = context.termios != nullptr ? context.termios->OpenDevice() : std::string();
    if (!device.empty())
        holders = FindPortHolders(device);
    if (!holders.empty())
        session.Error("warning: " + Printable(device) + " is also in use by " + HoldersText(holders) +
                      ": it may read the camera's answers");

    char model[kModelTextSize + 1] = {};
    const bool read = camera.GetModelText(model) != 0;
    const int family = camera.ClassifyModel(read ? model : nullptr);

    // A USB adapter's latency timer, as the driver has it after the open.
    const OpenDiagnostics line = context.termios != nullptr ? context.termios->GetOpenDiagnostics() : OpenDiagnostics{};
    if (options.json) {
        const int port = static_cast<int16_t>(camera.GetPort());
        JsonObject json;
        json.Add("port", session.PortName()).Add("portIndex", port);
        if (!device.empty())
            json.Add("device", device);
        if (line.latencyTimerMs >= 0)
            json.Add("latencyTimerMs", line.latencyTimerMs);
        context.out << json.Add("speed", camera.GetSpeed())
                           .AddBytes("model", CameraText(model, kModelTextSize))
                           .Add("modelRead", read)
                           .Add("family", family)
                           .Add("supported", family == 4 || family == 5)
                           .AddRaw("holders", HoldersJson(holders))
                           .Text()
                    << '\n';
    } else {
        context.out << "Port: " << session.PortText() << '\n';
        if (line.latencyTimerMs >= 0)
            context.out << "Adapter: " << LatencyTimerLine(line.latencyDevice, line.latencyTimerMs) << '\n';
        context.out << "Speed: " << camera.GetSpeed() << '\n'
                    << "Model: " << Printable(CameraText(model, kModelTextSize)) << '\n'
                    << "Family: " << FamilyText(family) << '\n';
    }
    context.out.flush();
    if (!read) {
        session.Error("The camera's model text could not be read.");
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace oskel::cli
