#pragma once

#include "LineEvent.h"
#include "RecordingSerialOps.h"
#include "camera/CameraHolder.h"
#include "platform/ProfileFile.h"
#include "programs/ProgramCatalog.h"
#include "serial/TermiosSerialOps.h"

#include <memory>
#include <string>
#include <vector>

namespace oskel {
class VirtualTimeSource;
namespace emulator {
class CameraEngine;
class EmulatorLine;
} // namespace emulator
} // namespace oskel

namespace oskel::bench {

// The program's own camera stack, as the main dialog holds it: settings
// with a fixed port and speed, the serial port (with the recorder around
// it), the camera holder and the catalog.
class BenchCameraRig {
public:
    // On the termios port opened on `device`, in real time. configDir: a
    // folder for the rig's settings file. usbDriver: the port's output
    // queue counts writes in flight as a USB-serial driver's does.
    BenchCameraRig(const std::string& device, const std::string& configDir, int bps, bool usbDriver = false);
    // On the in-process emulator line in virtual time, with the camera that
    // camera-emulator would make of `emulatorArgs`: the same operation with
    // no time of the program's own, nor of the machine's.
    BenchCameraRig(const std::vector<std::string>& emulatorArgs, const std::string& configDir, int bps);
    ~BenchCameraRig();

    bool Virtual() const { return m_virtualClock != nullptr; }
    // The rig's clock in microseconds (virtual or monotonic).
    uint64_t ClockUs() const;

    // Connects as the first Acquire does.
    bool Connect();
    // The measured part begins and ends: Log() holds what happened between.
    void StartRecording();
    void StopRecording();

    CCameraHolder& Holder() { return *m_holder; }
    CCameraConnection& Connection() { return m_holder->Connection(); }
    ProgramCatalog& Catalog() { return *m_catalog; }
    const LineLog& Log() const { return m_log; }
    // Everything the rig did on the line since it was made, and where in it
    // the measured part lies.
    const LineLog& Journal() const { return m_journal; }
    size_t MeasuredFrom() const { return m_measuredFrom; }
    size_t MeasuredTo() const { return m_measuredTo; }

private:
    void Build(PacedSerialOps& port, TimeSource& clock);

    ProfileFile m_settings;
    std::unique_ptr<TermiosSerialOps> m_termios;
    std::unique_ptr<VirtualTimeSource> m_virtualClock;
    std::unique_ptr<emulator::CameraEngine> m_camera;
    std::unique_ptr<emulator::EmulatorLine> m_emulatorLine;
    LineLog m_journal;
    LineLog m_log;
    size_t m_measuredFrom = 0;
    size_t m_measuredTo = 0;
    std::unique_ptr<RecordingSerialOps> m_line;
    std::unique_ptr<RecordingTimeSource> m_time;
    std::unique_ptr<CCameraHolder> m_holder;
    std::unique_ptr<ProgramCatalog> m_catalog;
};

} // namespace oskel::bench
