#include "serial/UsbSerialAdapters.h"

#include <filesystem>

namespace oskel {
namespace {

namespace fs = std::filesystem;

struct KnownAdapter {
    const char* vendor;
    const char* product;
    const char* chip;
};

constexpr KnownAdapter kKnownAdapters[] = {
    {"0403", "6001", "FT232R"},  {"0403", "6010", "FT2232"},  {"0403", "6011", "FT4232"},
    {"0403", "6014", "FT232H"},  {"0403", "6015", "FT-X"},    {"067b", "2303", "PL2303"},
    {"067b", "23a3", "PL2303G"}, {"1a86", "7523", "CH340"},   {"1a86", "5523", "CH341"},
    {"1a86", "55d4", "CH9102"},  {"10c4", "ea60", "CP210x"},  {"10c4", "ea70", "CP2105"},
    {"10c4", "ea71", "CP2108"},
};

std::string ReadLine(const fs::path& file)
{
    return ReadSysfsAttribute(file.string());
}

const KnownAdapter* Known(const std::string& vendor, const std::string& product)
{
    for (const KnownAdapter& a : kKnownAdapters) {
        if (vendor == a.vendor && product == a.product)
            return &a;
    }
    return nullptr;
}

// A tty below the USB device: ttyUSB0 under an interface (usb-serial), or a
// "tty" folder (cdc_acm). Links (driver, subsystem, port) are not followed.
bool HasTty(const fs::path& device)
{
    std::error_code ec;
    for (fs::recursive_directory_iterator it(device, ec), end; !ec && it != end; it.increment(ec)) {
        if (it.depth() > 3) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.starts_with("tty") && it->is_directory(typeError) && !it->is_symlink(typeError))
            return true;
    }
    return false;
}

} // namespace

std::string UsbSerialAdapter::Text() const
{
    std::string text = vendorId + ":" + productId + " " + chip;
    const std::string maker = manufacturer.empty() ? product : manufacturer + (product.empty() ? "" : " " + product);
    return maker.empty() ? text : text + ", " + maker;
}

std::vector<UsbSerialAdapter> FindAdaptersWithoutPort(const SystemRoots& roots)
{
    std::vector<UsbSerialAdapter> found;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(roots.sys) / "bus" / "usb" / "devices", ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path device = it->path();
        const KnownAdapter* known = Known(ReadLine(device / "idVendor"), ReadLine(device / "idProduct"));
        if (known == nullptr || HasTty(device))
            continue;
        found.push_back({known->vendor, known->product, known->chip, ReadLine(device / "manufacturer"),
                         ReadLine(device / "product")});
    }
    return found;
}

bool BrlttyInstalled(const SystemRoots& roots)
{
    std::error_code ec;
    for (const char* path : {"bin/brltty", "sbin/brltty", "lib/udev/rules.d/85-brltty.rules"}) {
        if (fs::exists(fs::path(roots.usr) / path, ec))
            return true;
    }
    return false;
}

std::string DescribeAdaptersWithoutPort(const SystemRoots& roots)
{
    const std::vector<UsbSerialAdapter> adapters = FindAdaptersWithoutPort(roots);
    if (adapters.empty())
        return {};
    std::string names;
    for (const UsbSerialAdapter& a : adapters)
        names += (names.empty() ? "" : "; ") + a.Text();
    std::string text = (adapters.size() == 1 ? "A USB serial adapter (" : "USB serial adapters (") + names +
                       (adapters.size() == 1 ? ") is plugged in, but the system gave it no serial port."
                                             : ") are plugged in, but the system gave them no serial port.");
    if (BrlttyInstalled(roots))
        text += " The braille display service brltty is installed, and its rule takes such adapters: if you use "
                "no braille display, remove it (\"sudo apt remove brltty\") or switch its rule off (\"sudo "
                "systemctl mask brltty-udev.service\"), then plug the adapter in again.";
    else
        text += " Plug it in again; if the port still does not appear, \"sudo dmesg\" tells which driver took it.";
    return text;
}

} // namespace oskel
