#include "BenchRun.h"

#include "LineReplay.h"
#include "emulator/AdapterModel.h"

#include <cstdio>

namespace oskel::bench {

BenchRun::BenchRun(const BenchOptions& o, const std::string& dir, const std::vector<std::string>& args, int bps)
    : m_options(o), m_link(dir + "/camera"), m_args(args)
{
    if (!o.virtualTime) {
        m_process = std::make_unique<EmulatorRun>(EmulatorPath(o), m_link, args);
        if (!m_process->Ok()) {
            std::fprintf(stderr, "camera-emulator did not start (%s)\n", EmulatorPath(o).c_str());
            return;
        }
    }
    std::string ignored;
    const std::optional<emulator::AdapterModel> adapter = emulator::AdapterModel::Parse(o.adapter, &ignored);
    const bool usb = adapter && adapter->Usb();
    m_rig = o.virtualTime ? std::make_unique<BenchCameraRig>(args, dir + "/config", bps)
                          : std::make_unique<BenchCameraRig>(m_link, dir + "/config", bps, usb);
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

void BenchRun::Report(CaseResult* r, const CameraTiming& timing, bool verbose)
{
    Complete(r, *m_watch, m_rig->Log(), timing);
    if (m_rig->Virtual())
        SetVirtualTime(r, m_rig->ClockUs() - m_startUs);
    const LineLog log = m_rig->Log();
    if (m_options.replay && r->ok && m_process != nullptr)
        Replay(r, timing);
    PrintResult(*r, log, timing, verbose);
}

// The same line once more, to a camera in the state the measured one began
// in: a fresh emulator with the same options.
void BenchRun::Replay(CaseResult* r, const CameraTiming& timing)
{
    const LineLog journal = m_rig->Journal();
    const size_t from = m_rig->MeasuredFrom();
    const size_t to = m_rig->MeasuredTo();
    m_rig.reset();
    m_process.reset();
    EmulatorRun fresh(EmulatorPath(m_options), m_link, m_args);
    if (!fresh.Ok()) {
        std::fprintf(stderr, "replay: camera-emulator did not start\n");
        r->replayFailed = true;
        return;
    }
    const ReplayResult replay = ReplayLine(m_link, journal, from, to, timing);
    if (!replay.ok) {
        std::fprintf(stderr, "replay: %s\n", replay.error.c_str());
        r->replayFailed = true;
        return;
    }
    r->replayMs = replay.measuredMs;
}

bool MeasureRun(const BenchOptions& o, const std::string& dir, const std::vector<std::string>& extra, CaseResult r,
                const std::function<bool(BenchRun&)>& operation)
{
    const CameraTiming timing;
    std::vector<std::string> args = TimingOptions(timing);
    args.insert(args.end(), {"--capacity", "8388608"});
    args.insert(args.end(), extra.begin(), extra.end());
    if (o.adapter != "pty") {
        std::string error;
        if (!emulator::AdapterModel::Parse(o.adapter, &error)) {
            std::fprintf(stderr, "--adapter: %s\n", error.c_str());
            return false;
        }
        args.insert(args.end(), {"--adapter", o.adapter});
        r.label += "/" + o.adapter; // a case of its own beside the same operation on a bare line
    }
    if (o.virtualTime)
        r.operation += " (virtual time)";
    {
        BenchRun bench(o, dir, args, r.bps);
        if (!bench.Ready())
            return false;
        r.ok = operation(bench);
        bench.Report(&r, timing, o.verbose);
    }
    return Record(o, r);
}

} // namespace oskel::bench
