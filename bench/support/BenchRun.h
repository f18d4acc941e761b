#pragma once

#include "BenchCameraRig.h"
#include "BenchCase.h"
#include "EmulatorRun.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace oskel::bench {

// One measured operation against the camera: camera-emulator started on
// dir/camera with args (the in-process emulator in virtual time instead), a
// rig connected at bps with its settings in dir/config, and the stopwatch and
// line record around the operation. The rig closes its link before the
// emulator process ends.
class BenchRun {
public:
    BenchRun(const BenchOptions& o, const std::string& dir, const std::vector<std::string>& args, int bps);

    // The emulator started and a camera answered; says on stderr what failed.
    bool Ready() const { return m_ready; }
    BenchCameraRig& Rig() { return *m_rig; }

    // Start and stop the stopwatch and the line record.
    void Start();
    void Stop();
    // Fills r from the measurement (the virtual clock's time in virtual time)
    // and prints it. With --replay, a good run on the real line is replayed
    // first (which ends the rig and the emulator: nothing is measured after).
    void Report(CaseResult* r, const CameraTiming& timing, bool verbose);

private:
    void Replay(CaseResult* r, const CameraTiming& timing);

    BenchOptions m_options;
    std::string m_link;
    std::vector<std::string> m_args;
    std::unique_ptr<EmulatorRun> m_process;
    std::unique_ptr<BenchCameraRig> m_rig;
    std::optional<Stopwatch> m_watch;
    uint64_t m_startUs = 0;
    bool m_ready = false;
};

// One run of a case on a camera with the benchmark's delays and 8 MB of
// memory (extra: further emulator options). `operation` prepares, calls
// Start and Stop around what is measured and says whether the camera did
// what it should; the run is then reported and recorded (see Record).
bool MeasureRun(const BenchOptions& o, const std::string& dir, const std::vector<std::string>& extra, CaseResult r,
                const std::function<bool(BenchRun&)>& operation);

} // namespace oskel::bench
