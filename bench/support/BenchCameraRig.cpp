#include "BenchCameraRig.h"

#include "platform/PlatformInfo.h"
#include "platform/RealTimeSource.h"

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

BenchCameraRig::BenchCameraRig(const std::string& device, const std::string& configDir, int bps)
    : m_settings(SettingsIn(configDir, bps)),
      m_port(RealTimeSource::Instance(), NiceThreadPriority::Instance()),
      m_line(m_port, m_log),
      m_time(RealTimeSource::Instance(), m_line, m_log)
{
    m_port.SetDeviceOverride(device);
    StopRecording();
    m_holder = std::make_unique<CCameraHolder>(
        std::make_unique<CCameraConnection>(m_settings, m_line, m_time, LinuxPlatformInfo::Instance()));
    m_catalog = std::make_unique<ProgramCatalog>(*m_holder);
}

BenchCameraRig::~BenchCameraRig()
{
    StopRecording();
    m_catalog.reset();
    m_holder.reset();
}

bool BenchCameraRig::Connect()
{
    StopRecording();
    CameraLease lease(*m_holder);
    return static_cast<bool>(lease);
}

void BenchCameraRig::StartRecording()
{
    m_log.clear();
    m_log.reserve(4096);
    m_line.SetRecording(true);
    m_time.SetRecording(true);
}

void BenchCameraRig::StopRecording()
{
    m_line.SetRecording(false);
    m_time.SetRecording(false);
}

} // namespace oskel::bench
