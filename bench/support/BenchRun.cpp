#include "BenchRun.h"

#include <cstdio>

namespace oskel::bench {

BenchRun::BenchRun(const BenchOptions& o, const std::string& dir, const std::vector<std::string>& args, int bps)
{
    const std::string link = dir + "/camera";
    if (!o.virtualTime) {
        m_process = std::make_unique<EmulatorRun>(EmulatorPath(o), link, args);
        if (!m_process->Ok()) {
            std::fprintf(stderr, "camera-emulator did not start (%s)\n", EmulatorPath(o).c_str());
            return;
        }
    }
    m_rig = o.virtualTime ? std::make_unique<BenchCameraRig>(args, dir + "/config", bps)
                          : std::make_unique<BenchCameraRig>(link, dir + "/config", bps);
    if (!m_rig->Connect()) {
        std::fprintf(stderr, "no camera at %d bit/s\n", bps);
        return;
    }
    m_ready = true;
}

void BenchRun::Start()
{
    m_rig->StartRecording();
    m_watch.emplace(m_process != nullptr ? m_process->Pid() : -1);
    m_startUs = m_rig->ClockUs();
}

void BenchRun::Stop()
{
    m_watch->Stop();
    m_rig->StopRecording();
}

void BenchRun::Report(CaseResult* r, const CameraTiming& timing, bool verbose) const
{
    Complete(r, *m_watch, m_rig->Log(), timing);
    if (m_rig->Virtual())
        SetVirtualTime(r, m_rig->ClockUs() - m_startUs);
    PrintResult(*r, m_rig->Log(), timing, verbose);
}

} // namespace oskel::bench
