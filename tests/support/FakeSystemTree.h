#pragma once

#include "serial/PortFacts.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace oskel::test {

// A fake /sys, /dev and /proc in a temporary folder, laid out as the kernel
// lays them out, for the code that reads port facts and holders.
class FakeSystemTree {
public:
    FakeSystemTree()
    {
        for (const char* dir : {"sys/class/tty", "dev/serial/by-id", "proc"})
            std::filesystem::create_directories(Path(dir));
    }

    SystemRoots Roots() const { return {Path("sys"), Path("dev"), Path("proc"), Path("usr")}; }
    std::string Path(const std::string& relative) const { return m_dir / relative; }
    std::string Dev(const std::string& name) const { return Path("dev/" + name); }

    // A tty whose device is sys/devices/<devicePath>, bound to the driver
    // sys/bus/<driver> ("usb-serial/drivers/ftdi_sio").
    void AddTty(const std::string& name, const std::string& devicePath, const std::string& driver)
    {
        BindDriver(devicePath, driver);
        std::filesystem::create_directories(Path("sys/class/tty/" + name));
        std::filesystem::create_directory_symlink(Path("sys/devices/" + devicePath),
                                                  Path("sys/class/tty/" + name + "/device"));
        Write("dev/" + name, "");
    }

    void BindDriver(const std::string& devicePath, const std::string& driver)
    {
        const std::filesystem::path device = Path("sys/devices/" + devicePath);
        std::filesystem::create_directories(device);
        std::filesystem::create_directories(Path("sys/bus/" + driver));
        std::filesystem::create_directory_symlink(Path("sys/bus/" + driver), device / "driver");
    }

    // USB device attributes in sys/devices/<usbPath>, listed in
    // sys/bus/usb/devices.
    void AddUsbDevice(const std::string& usbPath, const std::string& vendor, const std::string& product,
                      const std::string& maker, const std::string& name, const std::string& serial)
    {
        const std::string dir = "sys/devices/" + usbPath + "/";
        std::filesystem::create_directories(Path(dir));
        std::filesystem::create_directories(Path("sys/bus/usb/devices"));
        std::filesystem::create_directory_symlink(
            Path(dir), Path("sys/bus/usb/devices/" + std::filesystem::path(usbPath).filename().string()));
        Write(dir + "idVendor", vendor + "\n");
        Write(dir + "idProduct", product + "\n");
        Write(dir + "manufacturer", maker + "\n");
        Write(dir + "product", name + "\n");
        Write(dir + "serial", serial + "\n");
    }

    // A file below the fake tree (an installed program, a udev rule, a
    // sysfs attribute).
    void AddFile(const std::string& relative, const std::string& text = "") const { Write(relative, text); }

    void AddByIdLink(const std::string& linkName, const std::string& ttyName)
    {
        std::filesystem::create_symlink("../../" + ttyName, Path("dev/serial/by-id/" + linkName));
    }

    // A process `pid` named `name`, with descriptor 3 open on `openFile`
    // when one is given.
    // `commandLine`: its arguments, NUL-separated (none: empty, as a kernel thread's).
    void AddProcess(int pid, const std::string& name, const std::string& openFile = "",
                    const std::string& commandLine = "")
    {
        const std::string dir = "proc/" + std::to_string(pid);
        std::filesystem::create_directories(Path(dir + "/fd"));
        Write(dir + "/comm", name + "\n");
        Write(dir + "/cmdline", commandLine);
        if (!openFile.empty())
            std::filesystem::create_symlink(openFile, Path(dir + "/fd/3"));
    }

private:
    void Write(const std::string& relative, const std::string& text) const
    {
        std::filesystem::create_directories(std::filesystem::path(Path(relative)).parent_path());
        std::ofstream(Path(relative)) << text;
    }

    TempDir m_dir;
};

} // namespace oskel::test
