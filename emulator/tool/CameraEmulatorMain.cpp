// camera-emulator: an OSKEL camera on a pseudo-terminal.
#include "PtyServer.h"
#include "emulator/CameraEngine.h"
#include "emulator/EmulatorOptions.h"
#include "emulator/ProgramDump.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/prctl.h>
#include <vector>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}

// Replaces path as a whole, so that a reader never sees half a listing.
bool WriteStoreFile(const std::string& path, const std::string& listing)
{
    const std::string temporary = path + ".new";
    FILE* f = std::fopen(temporary.c_str(), "w");
    if (f == nullptr)
        return false;
    const bool written = std::fwrite(listing.data(), 1, listing.size(), f) == listing.size();
    if (std::fclose(f) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void InstallSignals()
{
    struct sigaction sa{};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no restart: the wait returns and sees the flag
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    // A wire log piped into a program that has quit: stop as on Ctrl+C, so
    // the link is removed and the programs dumped.
    sigaction(SIGPIPE, &sa, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace oskel::emulator;
    EmulatorOptions options;
    std::string error;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!ParseEmulatorOptions(args, &options, &error)) {
        std::fprintf(stderr, "camera-emulator: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(EmulatorUsage().c_str(), stdout);
        return 0;
    }
    if (!LoadInitialPrograms(&options, &error)) {
        std::fprintf(stderr, "camera-emulator: %s\n", error.c_str());
        return 2;
    }
    FILE* wireLog = nullptr;
    if (options.wireLog == "-") {
        wireLog = stdout;
    } else if (!options.wireLog.empty()) {
        wireLog = std::fopen(options.wireLog.c_str(), "w");
        if (wireLog == nullptr) {
            std::fprintf(stderr, "camera-emulator: cannot write the wire log %s: %s\n", options.wireLog.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }

    CameraEngine camera(options.camera);
    for (const Fault& f : options.faults)
        camera.Faults().Add(f);
    if (options.randomFaults)
        camera.Faults().SetRandom(options.randomSeed, options.randomPermille);
    if (wireLog != nullptr) {
        camera.SetLog([wireLog](const std::string& line) {
            std::fprintf(wireLog, "%s\n", line.c_str());
            std::fflush(wireLog);
        });
    }

    uint64_t storeWritten = 0;
    if (!options.storeFile.empty()) {
        if (!WriteStoreFile(options.storeFile, DescribeProgramStore(camera.Programs()))) {
            std::fprintf(stderr, "camera-emulator: cannot write the store file %s: %s\n", options.storeFile.c_str(),
                         std::strerror(errno));
            return 1;
        }
        storeWritten = camera.Programs().Changes();
    }
    auto keepStoreFile = [&]() {
        if (options.storeFile.empty() || camera.Programs().Changes() == storeWritten)
            return;
        storeWritten = camera.Programs().Changes();
        if (!WriteStoreFile(options.storeFile, DescribeProgramStore(camera.Programs())))
            std::fprintf(stderr, "camera-emulator: cannot write the store file %s: %s\n", options.storeFile.c_str(),
                         std::strerror(errno));
    };

    InstallSignals();
    // The camera's bytes are due at exact moments; the default timer slack
    // would let each wake-up come up to 50 us late.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    int result = 0;
    {
        PtyServer server(camera);
        server.SetResetOnClose(!options.keepOnClose);
        server.SetAdapter(options.adapter);
        if (!server.Open(options.link, &error)) {
            std::fprintf(stderr, "camera-emulator: %s\n", error.c_str());
            return 1;
        }
        if (!options.quiet) {
            std::printf("camera-emulator: camera \"%s\" ready on %s, linked at %s\n", options.camera.modelText.c_str(),
                        server.SlavePath().c_str(), options.link.c_str());
            std::printf("%s", DescribeProgramStore(camera.Programs()).c_str());
            std::printf("camera-emulator: stop with Ctrl+C\n");
            std::fflush(stdout);
        }
        server.Run(&g_stop, [&](const std::string& text) {
            if (!options.quiet) {
                std::printf("camera-emulator: %s\n", text.c_str());
                std::fflush(stdout);
            }
        }, keepStoreFile);
    }
    if (!options.quiet)
        std::printf("camera-emulator: stopped\n%s", DescribeProgramStore(camera.Programs()).c_str());
    if (!options.dumpFolder.empty()) {
        if (DumpProgramStore(camera.Programs(), options.dumpFolder, &error)) {
            if (!options.quiet)
                std::printf("camera-emulator: programs written to %s\n", options.dumpFolder.c_str());
        } else {
            std::fprintf(stderr, "camera-emulator: %s\n", error.c_str());
            result = 1;
        }
    }
    if (wireLog != nullptr && wireLog != stdout)
        std::fclose(wireLog);
    return result;
}
