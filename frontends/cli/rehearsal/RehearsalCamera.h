#pragma once

#include "camera/CameraHolder.h"
#include "emulator/CameraEngine.h"
#include "emulator/EmulatorLine.h"
#include "platform/ProfileFile.h"
#include "platform/VirtualTimeSource.h"

#include <memory>
#include <optional>
#include <string>

namespace oskel {
class CCameraConnection;
class PlatformInfo;
class ProgramCatalog;
} // namespace oskel

namespace oskel::cli {

// The camera a dry run rehearses on: the emulator's camera, seeded with what
// was just read from the real one (its model text, battery level, directory
// records in slot order and free memory), on the in-process line in virtual
// time. The real operation runs against it; the real camera is only read.
class RehearsalCamera {
public:
    // The emulated camera's make-up; nullopt, with the reason in *why, when
    // the real camera's count or free memory is unknown (freeMemory < 0).
    static std::optional<emulator::CameraConfig> Seed(CCameraConnection& real, const ProgramCatalog& catalog,
                                                      int freeMemory, std::string* why);

    // `platform` must outlive the rehearsal. Its connection keeps its settings
    // in a file of its own that is removed afterwards.
    RehearsalCamera(emulator::CameraConfig config, PlatformInfo& platform);
    ~RehearsalCamera();
    RehearsalCamera(const RehearsalCamera&) = delete;
    RehearsalCamera& operator=(const RehearsalCamera&) = delete;

    CCameraHolder& Holder() { return *m_holder; }

private:
    std::string m_dir;
    VirtualTimeSource m_clock;
    emulator::CameraEngine m_engine;
    emulator::EmulatorLine m_line;
    ProfileFile m_settings;
    std::unique_ptr<CCameraHolder> m_holder;
};

} // namespace oskel::cli
