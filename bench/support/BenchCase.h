#pragma once

#include "FloorModel.h"
#include "LineEvent.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace oskel::bench {

// Options every benchmark program takes.
struct BenchOptions {
    std::string emulator;  // the camera-emulator program
    std::string csv;       // append one row per run here ("" = none)
    std::string workDir;   // scratch folder ("" = a fresh one under /tmp)
    int repeat = 1;
    int firstRun = 1;      // number of the first run, in the CSV
    bool smallest = false; // only the smallest case (the CI run)
    bool verbose = false;  // where the time above the floor went, per kind of step
    bool virtualTime = false; // over the in-process emulator line in virtual time
    bool replay = false;      // also time a replay of the line (see LineReplay.h)
    std::vector<std::string> only; // case filters: sizes, speeds or names
    std::string adapter = "pty";   // the emulator's adapter model (--adapter)
};

// Parses the common options; false with a message on standard error.
// `usage` is printed for --help (and then the program should exit 0:
// *exitNow is set).
bool ParseBenchOptions(int argc, char** argv, const std::string& usage, BenchOptions* options, bool* exitNow);

// True when the case passes the --only filters (no filter: every case).
bool Selected(const BenchOptions& options, const std::string& label, int bps);

// A fresh scratch folder (or options.workDir), removed by the destructor
// when it was made here.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& given);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    bool m_owned = false;
};

// Wall time, own CPU time and the emulator's CPU time over a measured part.
class Stopwatch {
public:
    explicit Stopwatch(int emulatorPid = -1);
    void Stop();
    double WallMs() const { return m_wallMs; }
    double CpuMs() const { return m_cpuMs; }
    double EmulatorCpuMs() const { return m_emuCpuMs; }

private:
    int m_emulatorPid;
    uint64_t m_startUs = 0;
    double m_startCpuMs = 0;
    double m_startEmuMs = 0;
    double m_wallMs = 0;
    double m_cpuMs = 0;
    double m_emuCpuMs = -1;
};

// One measured run of one operation.
struct CaseResult {
    std::string operation; // upload, connect, listing
    std::string label;     // "500 KB", "first run", "100 programs"
    int bps = 0;           // the line speed the operation ran at (at its end)
    uint64_t payloadBytes = 0; // the bytes the operation is for (0: none)
    bool ok = false;
    double measuredMs = 0;
    FloorBreakdown floor;
    double cpuMs = 0;
    double emulatorCpuMs = -1;
    long peakRssKb = 0;
    int run = 1;
    double replayMs = -1; // the replay of the same line, or -1
    bool replayFailed = false;
};

// Fills in the floor, peak memory and the stopwatch's figures.
void Complete(CaseResult* result, const Stopwatch& watch, const LineLog& log, const CameraTiming& camera);

// A run in virtual time: its measured time is the virtual clock's; the
// processor time it took says nothing about the program and is left out.
void SetVirtualTime(CaseResult* result, uint64_t elapsedUs);

// One line for people; with verbose, the excess per kind of step below it.
void PrintResult(const CaseResult& r, const LineLog& log, const CameraTiming& camera, bool verbose);
// Appends the CSV row (writing the header first into a new file).
bool AppendCsv(const std::string& path, const CaseResult& r);
// Appends the row to --csv; true when the run and its replay (if any) went well.
bool Record(const BenchOptions& options, const CaseResult& r);

// A benchmark program's main: parses the common options (usage for --help),
// makes the scratch folder and runs `cases` in it; the exit status.
int BenchMain(int argc, char** argv, const std::string& usage,
              const std::function<bool(const BenchOptions&, const std::string& dir)>& cases);

// The emulator options that give it these delays.
std::vector<std::string> TimingOptions(const CameraTiming& camera);

// The emulator's path: --emulator, else the one built beside the benchmarks.
std::string EmulatorPath(const BenchOptions& options);

} // namespace oskel::bench
