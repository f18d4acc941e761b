// bench_listing: the camera list refresh (ProgramCatalog::RefreshCameraList:
// liveness, program count, then each directory record into the catalog and
// the list) of a camera holding 100 programs, over the real termios port
// against camera-emulator.
#include "support/BenchRun.h"
#include "emulator/SamplePrograms.h"

#include <cstdio>
#include <fstream>
#include <memory>

using namespace oskel;
using namespace oskel::bench;

namespace {

const char* const kUsage =
    "Usage: bench_listing [--repeat N] [--only SPEED ...] [--smallest] [--csv FILE] [--verbose] [--virtual]\n"
    "                     [--replay] [--run K] [--emulator PATH] [--work DIR] [--adapter MODEL]\n"
    "Lists a camera holding 100 programs at 19200, 57600, 115200 and 230400 bit/s and compares\n"
    "each with its floor.\n";

constexpr int kPrograms = 100;
constexpr int kSpeeds[] = {19200, 57600, 115200, 230400};

bool WritePrograms(const std::string& dir, std::vector<std::string>* args)
{
    for (int i = 0; i < kPrograms; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "P%03d.FNC", i);
        emulator::SampleProgram p;
        p.fileName = name;
        p.displayName = std::string("Program ") + name;
        p.size = 1024;
        const std::vector<uint8_t> data = emulator::MakeProgramFile(p);
        const std::string path = dir + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        if (!out)
            return false;
        args->insert(args->end(), {"--program", path});
    }
    return true;
}

bool RunOnce(const BenchOptions& o, const std::string& dir, int bps, int run)
{
    std::vector<std::string> programs;
    if (!WritePrograms(dir, &programs)) {
        std::fprintf(stderr, "cannot write the programs in %s\n", dir.c_str());
        return false;
    }
    CaseResult r;
    r.operation = "listing";
    r.label = "100programs";
    r.bps = bps;
    r.payloadBytes = static_cast<uint64_t>(kPrograms) * ProgramInfoRecord::kSize;
    r.run = run;
    return MeasureRun(o, dir, programs, r, [](BenchRun& bench) {
        ProgramCatalog& catalog = bench.Rig().Catalog();
        bench.Start();
        const bool refreshed = catalog.RefreshCameraList(&catalog.CameraList());
        bench.Stop();
        return refreshed && catalog.cameraCount == kPrograms && catalog.CameraList().GetCount() == kPrograms;
    });
}

} // namespace

int main(int argc, char** argv)
{
    return BenchMain(argc, argv, kUsage, [](const BenchOptions& o, const std::string& dir) {
        bool ok = true;
        for (int bps : kSpeeds) {
            if (o.smallest ? bps != 230400 : !Selected(o, "100programs", bps))
                continue;
            for (int run = o.firstRun; run < o.firstRun + o.repeat; ++run)
                ok = RunOnce(o, dir, bps, run) && ok;
        }
        return ok;
    });
}
