#include "BenchCase.h"

#include "EmulatorRun.h"
#include "RecordingSerialOps.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

#ifndef OSKEL_CAMERA_EMULATOR
#define OSKEL_CAMERA_EMULATOR "camera-emulator"
#endif

namespace oskel::bench {
namespace {

double OwnCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0; };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

double ProcessCpuMs(int pid)
{
    if (pid <= 0)
        return -1;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
    FILE* f = std::fopen(path, "r");
    if (f == nullptr)
        return -1;
    char buffer[1024] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    buffer[n] = 0;
    const char* p = std::strrchr(buffer, ')');
    unsigned long utime = 0;
    unsigned long stime = 0;
    if (p == nullptr || std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2)
        return -1;
    return static_cast<double>(utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

bool ParseBenchOptions(int argc, char** argv, const std::string& usage, BenchOptions* o, bool* exitNow)
{
    *exitNow = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s: needs a value\n", a.c_str());
                return false;
            }
            *out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            std::fputs(usage.c_str(), stdout);
            *exitNow = true;
            return true;
        } else if (a == "--emulator") {
            if (!value(&o->emulator))
                return false;
        } else if (a == "--csv") {
            if (!value(&o->csv))
                return false;
        } else if (a == "--work") {
            if (!value(&o->workDir))
                return false;
        } else if (a == "--repeat") {
            if (!value(&v))
                return false;
            o->repeat = std::atoi(v.c_str());
            if (o->repeat < 1 || o->repeat > 100) {
                std::fprintf(stderr, "--repeat: 1 to 100\n");
                return false;
            }
        } else if (a == "--run") {
            if (!value(&v))
                return false;
            o->firstRun = std::max(1, std::atoi(v.c_str()));
        } else if (a == "--only") {
            if (!value(&v))
                return false;
            o->only.push_back(v);
        } else if (a == "--smallest") {
            o->smallest = true;
        } else if (a == "--virtual") {
            o->virtualTime = true;
        } else if (a == "--replay") {
            o->replay = true;
        } else if (a == "--verbose") {
            o->verbose = true;
        } else if (a == "--adapter") {
            if (!value(&o->adapter))
                return false;
        } else {
            std::fprintf(stderr, "unknown option %s\n%s", a.c_str(), usage.c_str());
            return false;
        }
    }
    return true;
}

// Filters of digits name speeds, others case labels; a case passes when
// it matches one of each kind given.
bool Selected(const BenchOptions& options, const std::string& label, int bps)
{
    bool anySpeed = false;
    bool anyLabel = false;
    bool speedMatch = false;
    bool labelMatch = false;
    for (const std::string& f : options.only) {
        if (!f.empty() && f.find_first_not_of("0123456789") == std::string::npos) {
            anySpeed = true;
            speedMatch = speedMatch || f == std::to_string(bps);
        } else {
            anyLabel = true;
            labelMatch = labelMatch || f == label;
        }
    }
    return (!anySpeed || speedMatch) && (!anyLabel || labelMatch);
}

ScratchDir::ScratchDir(const std::string& given)
{
    if (!given.empty()) {
        m_path = given;
        std::filesystem::create_directories(m_path);
        return;
    }
    char pattern[] = "/tmp/oskel-bench-XXXXXX";
    if (mkdtemp(pattern) != nullptr) {
        m_path = pattern;
        m_owned = true;
    }
}

ScratchDir::~ScratchDir()
{
    if (m_owned) {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
}

Stopwatch::Stopwatch(int emulatorPid) : m_emulatorPid(emulatorPid)
{
    m_startEmuMs = ProcessCpuMs(emulatorPid);
    m_startCpuMs = OwnCpuMs();
    m_startUs = NowUs();
}

void Stopwatch::Stop()
{
    m_wallMs = static_cast<double>(NowUs() - m_startUs) / 1000.0;
    m_cpuMs = OwnCpuMs() - m_startCpuMs;
    const double emu = ProcessCpuMs(m_emulatorPid);
    m_emuCpuMs = emu >= 0 && m_startEmuMs >= 0 ? emu - m_startEmuMs : -1;
}

void Complete(CaseResult* r, const Stopwatch& watch, const LineLog& log, const CameraTiming& camera)
{
    r->measuredMs = watch.WallMs();
    r->cpuMs = watch.CpuMs();
    r->emulatorCpuMs = watch.EmulatorCpuMs();
    r->floor = ModelFloor(log, camera);
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    r->peakRssKb = u.ru_maxrss;
}

void SetVirtualTime(CaseResult* r, uint64_t elapsedUs)
{
    r->measuredMs = static_cast<double>(elapsedUs) / 1000.0;
    r->cpuMs = 0;
    r->emulatorCpuMs = -1;
}

void PrintResult(const CaseResult& r, const LineLog& log, const CameraTiming& camera, bool verbose)
{
    const double ratio = r.floor.totalMs > 0 ? r.measuredMs / r.floor.totalMs : 0;
    std::printf("%-8s %-14s %6d bit/s  %s  measured %10.1f ms  floor %10.1f ms  ratio %.4f  cpu %7.1f ms (%4.1f %%)"
                "  rss %ld KB\n",
                r.operation.c_str(), r.label.c_str(), r.bps, r.ok ? "ok  " : "FAIL", r.measuredMs, r.floor.totalMs,
                ratio, r.cpuMs, r.measuredMs > 0 ? 100.0 * r.cpuMs / r.measuredMs : 0.0, r.peakRssKb);
    if (r.replayMs > 0 && r.floor.totalMs > 0)
        std::printf("  replay of the same line %10.1f ms  ratio %.4f; the program above the replay: %+.1f ms (%+.2f %%)\n",
                    r.replayMs, r.replayMs / r.floor.totalMs, r.measuredMs - r.replayMs,
                    100.0 * (r.measuredMs - r.replayMs) / r.floor.totalMs);
    if (verbose) {
        std::printf("  floor: PC wire %.1f ms (%llu B), camera wire %.1f ms (%llu B), pauses %.1f ms, time-outs %.1f ms,"
                    " camera delays %.1f ms; emulator cpu %.1f ms\n",
                    r.floor.wirePcMs, static_cast<unsigned long long>(r.floor.bytesPcToCam), r.floor.wireCamMs,
                    static_cast<unsigned long long>(r.floor.bytesCamToPc), r.floor.pausesMs, r.floor.timeoutsMs,
                    r.floor.cameraMs, r.emulatorCpuMs);
        std::fputs(ExcessByKind(log, camera).c_str(), stdout);
    }
    std::fflush(stdout);
}

bool AppendCsv(const std::string& path, const CaseResult& r)
{
    if (path.empty())
        return true;
    const bool fresh = !std::filesystem::exists(path);
    FILE* f = std::fopen(path.c_str(), "a");
    if (f == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    if (fresh)
        std::fputs("operation,case,speed,run,ok,payload_bytes,bytes_pc_to_camera,bytes_camera_to_pc,measured_ms,"
                   "floor_ms,ratio,payload_Bps,line_share,cpu_ms,cpu_share,peak_rss_kb,emulator_cpu_ms,replay_ms\n",
                   f);
    const double ratio = r.floor.totalMs > 0 ? r.measuredMs / r.floor.totalMs : 0;
    const double bps = r.measuredMs > 0 ? static_cast<double>(r.payloadBytes) * 1000.0 / r.measuredMs : 0;
    const double share = r.bps > 0 ? bps / (r.bps / 10.0) : 0;
    std::fprintf(f, "%s,%s,%d,%d,%d,%llu,%llu,%llu,%.2f,%.2f,%.4f,%.1f,%.4f,%.2f,%.4f,%ld,%.1f,%.2f\n", r.operation.c_str(),
                 r.label.c_str(), r.bps, r.run, r.ok ? 1 : 0, static_cast<unsigned long long>(r.payloadBytes),
                 static_cast<unsigned long long>(r.floor.bytesPcToCam),
                 static_cast<unsigned long long>(r.floor.bytesCamToPc), r.measuredMs, r.floor.totalMs, ratio, bps, share,
                 r.cpuMs, r.measuredMs > 0 ? r.cpuMs / r.measuredMs : 0.0, r.peakRssKb, r.emulatorCpuMs,
                 r.replayMs);
    std::fclose(f);
    return true;
}

bool Record(const BenchOptions& options, const CaseResult& r)
{
    AppendCsv(options.csv, r);
    return r.ok && !r.replayFailed;
}

int BenchMain(int argc, char** argv, const std::string& usage,
              const std::function<bool(const BenchOptions&, const std::string& dir)>& cases)
{
    BenchOptions o;
    bool exitNow = false;
    if (!ParseBenchOptions(argc, argv, usage, &o, &exitNow))
        return 2;
    if (exitNow)
        return 0;
    ScratchDir dir(o.workDir);
    return cases(o, dir.Path()) ? 0 : 1;
}

std::vector<std::string> TimingOptions(const CameraTiming& c)
{
    return {"--answer-delay-us", std::to_string(c.answerDelayUs), "--enq-delay",   std::to_string(c.enqDelayMs),
            "--upload-enq-delay", std::to_string(c.uploadEnqDelayMs), "--erase-enq-delay", std::to_string(c.eraseEnqDelayMs),
            "--ready-delay",      std::to_string(c.readyDelayMs)};
}

std::string EmulatorPath(const BenchOptions& options)
{
    return options.emulator.empty() ? std::string(OSKEL_CAMERA_EMULATOR) : options.emulator;
}

} // namespace oskel::bench
