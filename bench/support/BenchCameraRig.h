#pragma once

#include "LineEvent.h"
#include "RecordingSerialOps.h"
#include "camera/CameraHolder.h"
#include "platform/ProfileFile.h"
#include "programs/ProgramCatalog.h"
#include "serial/TermiosSerialOps.h"

#include <memory>
#include <string>

namespace oskel::bench {

// The program's own camera stack on one device, as the main dialog holds
// it: settings with a fixed port and speed, the termios port (with the
// recorder around it), the camera holder and the catalog.
class BenchCameraRig {
public:
    // configDir: a folder for the rig's settings file.
    BenchCameraRig(const std::string& device, const std::string& configDir, int bps);
    ~BenchCameraRig();

    // Connects as the first Acquire does; nothing is recorded.
    bool Connect();
    // Forgets what was recorded and records from now on.
    void StartRecording();
    void StopRecording();

    CCameraHolder& Holder() { return *m_holder; }
    CCameraConnection& Connection() { return m_holder->Connection(); }
    ProgramCatalog& Catalog() { return *m_catalog; }
    const LineLog& Log() const { return m_log; }

private:
    ProfileFile m_settings;
    TermiosSerialOps m_port;
    LineLog m_log;
    RecordingSerialOps m_line;
    RecordingTimeSource m_time;
    std::unique_ptr<CCameraHolder> m_holder;
    std::unique_ptr<ProgramCatalog> m_catalog;
};

} // namespace oskel::bench
