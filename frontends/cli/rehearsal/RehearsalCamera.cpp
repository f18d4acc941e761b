#include "rehearsal/RehearsalCamera.h"

#include "camera/CameraConnection.h"
#include "programs/ProgramCatalog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace oskel::cli {
namespace {

constexpr int kHeaderSize = 120;
constexpr int kModelTextSize = 64;
// What the seeded programs may take in all: far beyond any camera's memory,
// so that only a corrupt record reaches it.
constexpr uint64_t kMaxSeededBytes = 64u * 1024u * 1024u;

std::string MakeTempDir()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/oskel-dry-run.XXXXXX";
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

void PutHex4(uint8_t* at, unsigned value)
{
    char text[5];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    std::memcpy(at, text, 4);
}

// A stored program the camera describes with `record`: the header fields the
// record carries, the rest of the file blank, the size it reports. A slot
// whose record could not be read (all zero) gets the camera's signature so
// that it still takes its slot; the rehearsal never reads it (it works on
// the catalog read from the real camera, where the slot stays unread).
emulator::StoredProgram ProgramFor(const ProgramInfoRecord& record, const std::string& signature, size_t size)
{
    emulator::StoredProgram p;
    std::memcpy(p.name.data(), record.CameraName(), p.name.size());
    p.data.assign(std::max<size_t>(kHeaderSize, size), 0);
    uint8_t* header = p.data.data();
    std::memcpy(header, record.Signature(), ProgramInfoRecord::kSignatureSize);
    if (std::memcmp(header, signature.data(), signature.size()) != 0)
        std::memcpy(header, signature.data(), signature.size());
    PutHex4(header + 8, record.Kind());
    PutHex4(header + 12, record.AppId());
    PutHex4(header + 16, record.CopyFlag());
    std::memcpy(header + 52, record.DisplayNameField(), ProgramInfoRecord::kDisplayNameSize);
    PutHex4(header + 116, record.Version());
    return p;
}

} // namespace

std::optional<emulator::CameraConfig> RehearsalCamera::Seed(CCameraConnection& real, const ProgramCatalog& catalog,
                                                            int freeMemory, std::string* why)
{
    if (catalog.cameraCount < 0) {
        *why = "The number of programs in the camera could not be read.";
        return std::nullopt;
    }
    if (freeMemory < 0) {
        *why = "The camera's free memory could not be read.";
        return std::nullopt;
    }
    emulator::CameraConfig config;
    char model[kModelTextSize + 1] = {};
    if (!real.GetModelText(model)) {
        *why = "The camera's model text could not be read.";
        return std::nullopt;
    }
    config.modelText = model;
    if (const int battery = real.GetReg16(); battery >= 0)
        config.battery = battery;
    const std::string signature = emulator::AcceptedSignature(config.modelText);
    uint64_t used = 0;
    for (int slot = 1; slot <= catalog.cameraCount; ++slot)
        used += std::max<uint64_t>(kHeaderSize, catalog.RecordAt(slot)->StoredSize());
    if (used > kMaxSeededBytes) {
        *why = "The camera's program records tell of " + std::to_string(used) +
               " bytes of programs, more than a camera holds: a record is corrupt, and the dry run cannot "
               "rehearse on it.";
        return std::nullopt;
    }
    for (int slot = 1; slot <= catalog.cameraCount; ++slot) {
        const ProgramInfoRecord& record = *catalog.RecordAt(slot);
        config.programs.push_back(ProgramFor(record, signature, record.StoredSize()));
    }
    config.capacityBytes = static_cast<uint32_t>(std::min<uint64_t>(used + static_cast<uint64_t>(freeMemory),
                                                                    0xFFFFFFFFu));
    return config;
}

RehearsalCamera::RehearsalCamera(emulator::CameraConfig config, PlatformInfo& platform)
    : m_dir(MakeTempDir()), m_engine(std::move(config)), m_line(m_clock, m_engine, {0}),
      m_settings(m_dir.empty() ? std::string() : m_dir + "/QUIVRAN.INI"),
      m_holder(std::make_unique<CCameraHolder>(
          std::make_unique<CCameraConnection>(m_settings, m_line, m_clock, platform)))
{
}

RehearsalCamera::~RehearsalCamera()
{
    m_holder.reset(); // closes the link and writes its settings first
    if (!m_dir.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
}

} // namespace oskel::cli
