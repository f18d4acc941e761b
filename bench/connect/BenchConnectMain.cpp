// bench_connect: the connection procedure over the real termios port against
// camera-emulator. First run with no settings: COM1 and COM2 are ports with
// no camera behind them, the camera is on COM3 (named in the settings file's
// [Ports] section), the speed climbs to 230400 bit/s. Then a run that starts
// from the port and speed the first one stored.
#include "support/BenchCase.h"
#include "support/EmulatorRun.h"
#include "support/RecordingSerialOps.h"
#include "camera/CameraConnection.h"
#include "platform/PlatformInfo.h"
#include "platform/ProfileFile.h"
#include "platform/RealTimeSource.h"
#include "platform/RealTimeThreadPriority.h"
#include "serial/PortOverrides.h"
#include "serial/TermiosSerialOps.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/UsbDriverOps.h"
#include "emulator/AdapterModel.h"

#include <memory>
#include <optional>

using namespace oskel;
using namespace oskel::bench;

namespace {

const char* const kUsage =
    "Usage: bench_connect [--repeat N] [--only first-run|stored ...] [--smallest] [--csv FILE]\n"
    "                     [--verbose] [--emulator PATH] [--work DIR] [--adapter MODEL]\n"
    "Connects to camera-emulator on COM3 with no settings (COM1 and COM2 silent), climbing to\n"
    "230400 bit/s, then again from the stored port and speed; compares each with its floor.\n";

// One Connect with the settings in the file, measured.
bool ConnectOnce(const BenchOptions& o, const EmulatorRun& camera, ProfileFile& settings, const std::string& label,
                 int run)
{
    std::string error;
    const std::optional<emulator::AdapterModel> adapter = emulator::AdapterModel::Parse(o.adapter, &error);
    const PortMap ports("/nonexistent/sys-class-tty", "/nonexistent/dev");
    std::unique_ptr<TermiosSerialOps> termios =
        adapter && adapter->Usb()
            ? std::make_unique<UsbDriverOps>(RealTimeSource::Instance(), RealTimeThreadPriority::Instance(), ports)
            : std::make_unique<TermiosSerialOps>(RealTimeSource::Instance(), RealTimeThreadPriority::Instance(), ports);
    TermiosSerialOps& port = *termios;
    port.Ports().SetOverrideSource(SettingsPortOverrides());
    const int fastest = adapter && adapter->MaxBps() > 0 ? adapter->MaxBps() : 230400;
    LineLog log;
    RecordingSerialOps line(port, log);
    RecordingTimeSource time(RealTimeSource::Instance(), line, log);
    const CameraTiming timing;
    CaseResult r;
    r.operation = "connect";
    r.label = o.adapter == "pty" ? label : label + "/" + o.adapter;
    r.run = run;
    {
        CCameraConnection connection(settings, line, time, LinuxPlatformInfo::Instance());
        Stopwatch watch(camera.Pid());
        r.ok = connection.Connect() != 0;
        watch.Stop();
        line.SetRecording(false);
        time.SetRecording(false);
        r.bps = connection.GetSpeed();
        r.ok = r.ok && r.bps == fastest && connection.GetPort() == 2;
        Complete(&r, watch, log, timing);
        PrintResult(r, log, timing, o.verbose);
        connection.Close();
    } // writes Port and Speed back
    return Record(o, r);
}

bool RunOnce(const BenchOptions& o, const std::string& dir, int run)
{
    const std::string config = dir + "/config";
    std::filesystem::remove_all(config);
    std::filesystem::create_directories(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    SilentPort com1;
    SilentPort com2;
    const std::string link = dir + "/camera";
    {
        std::ofstream ini(config + "/QUIVRAN.INI");
        ini << "[Ports]\nCOM1=" << com1.Path() << "\nCOM2=" << com2.Path() << "\nCOM3=" << link << "\n";
    }
    const CameraTiming timing;
    std::vector<std::string> args = TimingOptions(timing);
    if (o.adapter != "pty")
        args.insert(args.end(), {"--adapter", o.adapter});
    EmulatorRun camera(EmulatorPath(o), link, args);
    if (!camera.Ok() || com1.Path().empty() || com2.Path().empty()) {
        std::fprintf(stderr, "camera-emulator or the silent ports did not start (%s)\n", EmulatorPath(o).c_str());
        return false;
    }
    ProfileFile settings(config + "/QUIVRAN.INI");
    bool ok = true;
    if (Selected(o, "first-run", 230400))
        ok = ConnectOnce(o, camera, settings, "first-run", run) && ok;
    if (!o.smallest && Selected(o, "stored", 230400)) {
        if (!Selected(o, "first-run", 230400)) {
            settings.WriteInt("Communication", "Port", 0x40000000 | 2);
            settings.WriteInt("Communication", "Speed", 0x40000000 | 230400);
        }
        ok = ConnectOnce(o, camera, settings, "stored", run) && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    return BenchMain(argc, argv, kUsage, [](const BenchOptions& o, const std::string& dir) {
        bool ok = true;
        for (int run = o.firstRun; run < o.firstRun + o.repeat; ++run)
            ok = RunOnce(o, dir, run) && ok;
        return ok;
    });
}
