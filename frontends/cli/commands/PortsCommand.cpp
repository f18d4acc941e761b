// ports: the serial ports in the order a connect tries them, with what the
// system tells about each, without opening any.
#include "commands/CliCommands.h"
#include "report/JsonWriter.h"
#include "terminal/TerminalText.h"

#include "camera/CommSettings.h"
#include "camera/ConnectFailureText.h"
#include "platform/ProfileFile.h"
#include "serial/PortFacts.h"
#include "serial/PortMap.h"
#include "serial/PortOverrides.h"
#include "serial/UsbSerialAdapters.h"

#include <algorithm>
#include <cstdint>

namespace oskel::cli {
namespace {

struct PortRow {
    int index;
    bool tried;
    bool overridden;
    PortFacts facts;
};

// The stored port and whether it is searched, with --port applied; the
// indexes in the order Connect tries them, then those it does not try.
struct PortOrder {
    int first = 0;
    bool automatic = true;
    std::vector<int> indexes;
    size_t tried = 0;
};

PortOrder OrderOfPorts(const CliOptions& options, const ProfileFile& settings, int maxPort)
{
    PortOrder order;
    const int stored = settings.GetInt(kCommSection, kPortKey, kDefaultPortSetting);
    order.automatic = (stored & SETTING_AUTO) != 0;
    order.first = static_cast<int16_t>(stored & 0xFFFF);
    if (order.first < 0 || order.first >= maxPort)
        order.first = 0;
    if (options.port) {
        order.automatic = *options.port < 0;
        if (*options.port >= 0)
            order.first = *options.port;
    }
    order.indexes.push_back(order.first);
    for (int i = 0; i < maxPort; ++i) {
        if (i != order.first)
            order.indexes.push_back(i);
    }
    order.tried = order.automatic ? order.indexes.size() : 1;
    return order;
}

std::vector<PortRow> GatherRows(const CliOptions& options, const PortOrder& order, const PortMap& map)
{
    std::vector<PortRow> rows;
    for (size_t n = 0; n < order.indexes.size(); ++n) {
        const int index = order.indexes[n];
        // --device stands at the one port tried first, as a connect opens it.
        std::string device = options.device ? (index == order.first ? *options.device : "") : map.DeviceFor(index);
        // The port a fixed choice tries is always shown, with or without a device.
        const bool fixed = !order.automatic && index == order.first;
        if (device.empty() && !fixed)
            continue;
        PortFacts facts = device.empty() ? PortFacts{} : GatherPortFacts(device);
        rows.push_back({index, n < order.tried, !options.device && !map.OverrideFor(index).empty(), std::move(facts)});
    }
    return rows;
}

std::string StateText(const PortFacts& f)
{
    if (!f.exists)
        return "missing";
    if (!f.holders.empty())
        return "in use by " + HoldersText(f.holders);
    if (!f.accessible) {
        DeviceAccess access;
        const std::string group = ReadDeviceAccess(f.device, &access) ? GroupToJoin(access) : std::string();
        return group.empty() ? "permission denied" : "permission denied (group " + group + ")";
    }
    return "free";
}

std::string RowJson(const PortRow& row)
{
    const PortFacts& f = row.facts;
    JsonObject json;
    json.Add("port", PortMap::PortName(row.index)).Add("portIndex", row.index).Add("device", f.device);
    json.Add("tried", row.tried).Add("fromSettings", row.overridden).Add("exists", f.exists);
    if (!f.byId.empty())
        json.Add("byId", f.byId);
    if (!f.driver.empty())
        json.Add("driver", f.driver);
    if (f.usb) {
        JsonObject usb;
        usb.Add("vendorId", f.vendorId).Add("productId", f.productId).Add("manufacturer", f.manufacturer);
        json.AddRaw("usb", usb.Add("product", f.product).Add("serial", f.serial).Text());
    }
    if (f.latencyTimerMs >= 0)
        json.Add("latencyTimerMs", f.latencyTimerMs);
    std::string holders;
    for (const PortHolder& h : f.holders)
        holders += (holders.empty() ? "" : ",") + JsonObject().Add("pid", h.pid).Add("name", h.name).Text();
    return json.Add("access", f.accessible).Add("inUse", !f.holders.empty()).AddRaw("holders", "[" + holders + "]").Text();
}

void PrintRow(std::ostream& out, const PortRow& row)
{
    const PortFacts& f = row.facts;
    if (f.device.empty()) {
        out << PortMap::PortName(row.index) << "  (no device)  missing\n";
        return;
    }
    out << PortMap::PortName(row.index) << "  " << Printable(f.device) << "  " << StateText(f) << '\n';
    if (row.overridden)
        out << "      set in the settings ([Ports] " << PortMap::PortName(row.index) << ")\n";
    if (!f.byId.empty() && f.byId != f.device)
        out << "      by-id: " << Printable(f.byId) << '\n';
    if (f.usb) {
        out << "      USB " << Printable(f.vendorId) << ':' << Printable(f.productId) << ", "
            << Printable(f.manufacturer) << ' ' << Printable(f.product);
        if (!f.serial.empty())
            out << ", serial " << Printable(f.serial);
        out << ", driver " << Printable(f.driver) << '\n';
    } else if (!f.driver.empty()) {
        out << "      driver " << Printable(f.driver) << '\n';
    }
    if (f.latencyTimerMs >= 0)
        out << "      " << LatencyTimerLine(TtyName(f.device), f.latencyTimerMs) << '\n';
}

void PrintText(std::ostream& out, const PortOrder& order, const std::vector<PortRow>& rows,
               const std::string& withoutPort)
{
    if (rows.empty()) {
        out << "No serial port was found.\n";
        if (!withoutPort.empty())
            out << withoutPort << '\n';
        return;
    }
    out << (order.automatic ? "Tried in this order (the port is searched):\n"
                            : "Only " + PortMap::PortName(order.first) +
                                  " is tried (the port is fixed; --port auto searches them all):\n");
    bool triedPart = true;
    for (const PortRow& row : rows) {
        if (triedPart && !row.tried) {
            out << "Not tried while the port is fixed (--port auto searches them):\n";
            triedPart = false;
        }
        PrintRow(out, row);
    }
    if (!withoutPort.empty())
        out << withoutPort << '\n';
}

} // namespace

int RunPorts(const CliOptions& options, CliContext& context)
{
    const ProfileFile settings(context.settingsPath.empty() ? SettingsFilePath() : context.settingsPath);
    const int maxPort = std::clamp(settings.GetInt(kCommSection, kMaxPortKey, kDefaultMaxPort), 0, kMaxPortLimit);
    const PortOrder order = OrderOfPorts(options, settings, maxPort);
    PortMap map;
    map.SetOverrideSource(SettingsPortOverrides());
    const std::vector<PortRow> rows = GatherRows(options, order, map);
    if (options.json) {
        std::string list;
        for (const PortRow& row : rows)
            list += (list.empty() ? "" : ",") + RowJson(row);
        std::string adapters;
        for (const UsbSerialAdapter& a : FindAdaptersWithoutPort()) {
            JsonObject json;
            json.Add("vendorId", a.vendorId).Add("productId", a.productId).Add("chip", a.chip);
            adapters += (adapters.empty() ? "" : ",") +
                        json.Add("manufacturer", a.manufacturer).Add("product", a.product).Text();
        }
        context.out << JsonObject()
                           .Add("portAuto", order.automatic)
                           .AddRaw("ports", "[" + list + "]")
                           .AddRaw("adaptersWithoutPort", "[" + adapters + "]")
                           .Text()
                    << '\n';
    } else {
        PrintText(context.out, order, rows, DescribeAdaptersWithoutPort());
    }
    context.out.flush();
    return kExitOk;
}

} // namespace oskel::cli
