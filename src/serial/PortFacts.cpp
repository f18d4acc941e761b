#include "serial/PortFacts.h"

#include <filesystem>
#include <fstream>
#include <vector>
#include <unistd.h>

namespace oskel {
namespace {

namespace fs = std::filesystem;

std::string ReadAttribute(const fs::path& file)
{
    return ReadSysfsAttribute(file.string());
}

std::string ByIdName(const fs::path& canonicalDevice, const std::string& device, const SystemRoots& roots)
{
    const fs::path byIdDir = fs::path(roots.dev) / "serial" / "by-id";
    if (fs::path(device).parent_path() == byIdDir)
        return device;
    std::error_code ec;
    for (fs::directory_iterator it(byIdDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code resolveError;
        if (fs::canonical(it->path(), resolveError) == canonicalDevice)
            return it->path().string();
    }
    return {};
}

// The tty's device and its ancestors below the sysfs root, nearest first.
std::vector<fs::path> DeviceChain(const fs::path& ttyDevice, const SystemRoots& roots)
{
    std::vector<fs::path> chain;
    std::error_code ec;
    const fs::path sysRoot = fs::canonical(roots.sys, ec);
    for (fs::path dir = fs::canonical(ttyDevice, ec); !ec && dir != sysRoot && dir.has_relative_path();
         dir = dir.parent_path())
        chain.push_back(dir);
    return chain;
}

// The nearest driver, passing over the kernel's generic serial-base
// "port" and "ctrl" devices.
std::string DriverOf(const std::vector<fs::path>& chain)
{
    for (const fs::path& dir : chain) {
        std::error_code ec;
        const fs::path driver = fs::read_symlink(dir / "driver", ec);
        if (!ec && driver.string().find("/serial-base/") == std::string::npos)
            return driver.filename().string();
    }
    return {};
}

// The USB device above a tty: the first ancestor with an idVendor.
void ReadUsbFacts(const std::vector<fs::path>& chain, PortFacts* facts)
{
    for (const fs::path& dir : chain) {
        std::error_code ec;
        if (!fs::exists(dir / "idVendor", ec))
            continue;
        facts->usb = true;
        facts->vendorId = ReadAttribute(dir / "idVendor");
        facts->productId = ReadAttribute(dir / "idProduct");
        facts->manufacturer = ReadAttribute(dir / "manufacturer");
        facts->product = ReadAttribute(dir / "product");
        facts->serial = ReadAttribute(dir / "serial");
        return;
    }
}

} // namespace

PortFacts GatherPortFacts(const std::string& device, const SystemRoots& roots)
{
    PortFacts facts;
    facts.device = device;
    std::error_code ec;
    const fs::path canonical = fs::canonical(device, ec);
    facts.exists = !ec;
    if (!facts.exists)
        return facts;
    facts.byId = ByIdName(canonical, device, roots);
    const fs::path ttyDevice = fs::path(roots.SysClassTty()) / canonical.filename() / "device";
    const std::vector<fs::path> chain = DeviceChain(ttyDevice, roots);
    facts.driver = DriverOf(chain);
    ReadUsbFacts(chain, &facts);
    facts.latencyTimerMs = ReadLatencyTimer(device, roots);
    facts.accessible = ::access(device.c_str(), R_OK | W_OK) == 0;
    facts.holders = FindPortHolders(device, roots.proc);
    return facts;
}

std::string ReadSysfsAttribute(const std::string& path)
{
    std::ifstream in(path);
    std::string value;
    std::getline(in, value);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\r'))
        value.pop_back();
    return value;
}

std::string TtyName(const std::string& device)
{
    std::error_code ec;
    const fs::path canonical = fs::canonical(device, ec);
    return (ec ? fs::path(device) : canonical).filename().string();
}

int ReadLatencyTimer(const std::string& device, const SystemRoots& roots)
{
    const std::string name = TtyName(device);
    if (name.empty())
        return -1;
    const std::string text = ReadAttribute(fs::path(roots.SysClassTty()) / name / "device" / "latency_timer");
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(text);
}

std::string LatencyTimerCommand(const std::string& ttyName)
{
    return "echo 1 | sudo tee /sys/bus/usb-serial/devices/" + ttyName + "/latency_timer";
}

std::string LatencyTimerLine(const std::string& ttyName, int ms)
{
    std::string line = "latency timer " + std::to_string(ms) + " ms";
    if (ms > kLatencyTimerHintAboveMs)
        line += ": every answer from the camera waits up to " + std::to_string(ms) +
                " ms in the adapter; for 1 ms: " + LatencyTimerCommand(ttyName);
    return line;
}

} // namespace oskel
