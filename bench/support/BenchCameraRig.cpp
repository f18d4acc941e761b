#include "BenchCameraRig.h"

#include "UsbDriverOps.h"

#include "emulator/CameraEngine.h"
#include "emulator/EmulatorLine.h"
#include "emulator/EmulatorOptions.h"
#include "platform/PlatformInfo.h"
#include "platform/RealTimeSource.h"
#include "platform/RealTimeThreadPriority.h"
#include "platform/VirtualTimeSource.h"

#include <cstdio>
#include <filesystem>

namespace oskel::bench {
namespace {

std::string SettingsIn(const std::string& configDir, int bps)
{
    std::filesystem::create_directories(configDir);
    const std::string path = configDir + "/QUIVRAN.INI";
    std::filesystem::remove(path);
    ProfileFile file(path);
    file.WriteInt("Communication", "Port", 0);
    file.WriteInt("Communication", "Speed", bps);
    return path;
}

} // namespace

BenchCameraRig::BenchCameraRig(const std::string& device, const std::string& configDir, int bps, bool usbDriver)
    : m_settings(SettingsIn(configDir, bps))
{
    if (usbDriver)
        m_termios = std::make_unique<UsbDriverOps>(RealTimeSource::Instance(), RealTimeThreadPriority::Instance());
    else
        m_termios = std::make_unique<TermiosSerialOps>(RealTimeSource::Instance(), RealTimeThreadPriority::Instance());
    m_termios->SetDeviceOverride(device);
    Build(*m_termios, RealTimeSource::Instance());
}

BenchCameraRig::BenchCameraRig(const std::vector<std::string>& emulatorArgs, const std::string& configDir, int bps)
    : m_settings(SettingsIn(configDir, bps))
{
    emulator::EmulatorOptions options;
    std::vector<std::string> args = emulatorArgs;
    args.insert(args.end(), {"--link", configDir + "/unused"});
    std::string error;
    if (!emulator::ParseEmulatorOptions(args, &options, &error) || !emulator::LoadInitialPrograms(&options, &error))
        std::fprintf(stderr, "emulated camera: %s\n", error.c_str());
    m_virtualClock = std::make_unique<VirtualTimeSource>();
    m_camera = std::make_unique<emulator::CameraEngine>(options.camera);
    m_emulatorLine = std::make_unique<emulator::EmulatorLine>(*m_virtualClock, *m_camera, std::vector<int>{0});
    m_emulatorLine->SetAdapter(options.adapter);
    Build(*m_emulatorLine, *m_virtualClock);
    m_line->SetClock([](void* clock) { return static_cast<VirtualTimeSource*>(clock)->NowUs(); }, m_virtualClock.get());
}

void BenchCameraRig::Build(PacedSerialOps& port, TimeSource& clock)
{
    m_line = std::make_unique<RecordingSerialOps>(port, m_journal);
    m_time = std::make_unique<RecordingTimeSource>(clock, *m_line, m_journal);
    m_holder = std::make_unique<CCameraHolder>(
        std::make_unique<CCameraConnection>(m_settings, *m_line, *m_time, LinuxPlatformInfo::Instance()));
    m_catalog = std::make_unique<ProgramCatalog>(*m_holder);
}

uint64_t BenchCameraRig::ClockUs() const
{
    return m_virtualClock != nullptr ? m_virtualClock->NowUs() : NowUs();
}

BenchCameraRig::~BenchCameraRig()
{
    m_catalog.reset();
    m_holder.reset(); // closes the link while the line still exists
}

bool BenchCameraRig::Connect()
{
    CameraLease lease(*m_holder);
    return static_cast<bool>(lease);
}

void BenchCameraRig::StartRecording()
{
    m_measuredFrom = m_journal.size();
}

void BenchCameraRig::StopRecording()
{
    m_measuredTo = m_journal.size();
    m_log.assign(m_journal.begin() + static_cast<std::ptrdiff_t>(m_measuredFrom),
                 m_journal.begin() + static_cast<std::ptrdiff_t>(m_measuredTo));
}

} // namespace oskel::bench
