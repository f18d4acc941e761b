// bench_upload: one program upload as the UPLOAD button makes it
// (CProgramTransfer::UploadFile: free memory, liveness, the transfer with its
// progress, action 11 and the end signal, the program count) over the real
// termios port against camera-emulator, at each size and line speed, beside
// its floor.
#include "support/BenchRun.h"
#include "emulator/SamplePrograms.h"
#include "transfer/ProgramTransfer.h"
#include "transfer/ProgressSink.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>

using namespace oskel;
using namespace oskel::bench;

namespace {

bool Named(const BenchOptions& o, const std::string& label)
{
    return std::find(o.only.begin(), o.only.end(), label) != o.only.end();
}

const char* const kUsage =
    "Usage: bench_upload [--repeat N] [--only 500KB|230400 ...] [--smallest] [--csv FILE] [--verbose] [--virtual]\n"
    "                    [--replay] [--run K] [--emulator PATH] [--work DIR] [--adapter MODEL]\n"
    "Uploads programs of 2 KB, 100 KB and 500 KB at 19200, 57600, 115200 and 230400 bit/s to\n"
    "camera-emulator through the real serial port code and compares each with its floor.\n"
    "300 KB (--only 300KB) is the upload of the serial adapter table.\n";

struct Size {
    const char* label;
    size_t bytes;
    bool onRequest = false; // run only when --only names it
};

constexpr Size kSizes[] = {
    {"2KB", 2048}, {"100KB", 100 * 1024}, {"500KB", 500 * 1024}, {"300KB", 300 * 1024, true}};
constexpr int kSpeeds[] = {19200, 57600, 115200, 230400};
constexpr char kCameraName[12] = {'B', 'E', 'N', 'C', 'H', ' ', ' ', ' ', 'F', 'N', 'C', 0};

// What a progress window would be told.
struct ProgressCounter final : CProgressSink {
    int Begin() override { return 0; }
    int Step(int percent) override
    {
        last = percent;
        return 0;
    }
    int End() override { return 0; }
    int last = -1;
};

bool WriteProgram(const std::string& path, size_t bytes)
{
    emulator::SampleProgram p;
    p.fileName = "BENCH.FNC";
    p.displayName = "Benchmark upload";
    p.size = bytes;
    const std::vector<uint8_t> data = emulator::MakeProgramFile(p);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

bool RunOnce(const BenchOptions& o, const std::string& dir, const Size& size, int bps, int run)
{
    const std::string file = dir + "/BENCH.FNC";
    if (!WriteProgram(file, size.bytes)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return false;
    }
    CaseResult r;
    r.operation = "upload";
    r.label = size.label;
    r.bps = bps;
    r.payloadBytes = size.bytes;
    r.run = run;
    return MeasureRun(o, dir, {}, r, [&](BenchRun& bench) {
        BenchCameraRig& rig = bench.Rig();
        ProgramCatalog& catalog = rig.Catalog();
        catalog.folderPath = dir + "/";
        catalog.cameraCount = rig.Connection().GetProgramCount();
        CProgramTransfer transfer(rig.Holder(), catalog, catalog.FolderList(), catalog.CameraList());
        ProgressCounter progress;
        bench.Start();
        const int status = transfer.UploadFile("BENCH.FNC", kCameraName, static_cast<int>(size.bytes), &progress);
        bench.Stop();
        return status == CProgramTransfer::kUploaded && progress.last == 100;
    });
}

} // namespace

int main(int argc, char** argv)
{
    return BenchMain(argc, argv, kUsage, [](const BenchOptions& o, const std::string& dir) {
        bool ok = true;
        for (const Size& size : kSizes) {
            for (int bps : kSpeeds) {
                if (o.smallest ? (&size != &kSizes[0] || bps != 230400) : !Selected(o, size.label, bps))
                    continue;
                if (size.onRequest && !Named(o, size.label))
                    continue;
                for (int run = o.firstRun; run < o.firstRun + o.repeat; ++run)
                    ok = RunOnce(o, dir, size, bps, run) && ok;
            }
        }
        return ok;
    });
}
