// The emulator's options and config file: any arguments and any config text
// either fail with a message or give settings inside their documented
// ranges, which then make a camera. The camera-name helpers turn any name
// into a file name that is one harmless path component.
#include "FuzzCheck.h"

#include "emulator/CameraConfig.h"
#include "emulator/CameraEngine.h"
#include "emulator/EmulatorOptions.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace oskel::emulator;

void CheckFileName(const std::string& name)
{
    FUZZ_CHECK(!name.empty());
    FUZZ_CHECK(name != "." && name != "..");
    for (char c : name)
        FUZZ_CHECK(c != '/' && c != '\\' && static_cast<unsigned char>(c) >= 0x20);
}

void CheckNameRules(const std::string& fileName)
{
    CameraName name{};
    if (!CameraNameFromFileName(fileName, &name))
        return;
    FUZZ_CHECK(name[11] == 0);
    CheckFileName(FileNameFromCameraName(name));
}

const std::string& ConfigPath()
{
    static const std::string path = "/tmp/oskel-fuzz-emulator-" + std::to_string(getpid()) + ".conf";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    CameraName raw{};
    const std::vector<uint8_t> rawBytes = in.ConsumeBytes<uint8_t>(raw.size());
    std::copy(rawBytes.begin(), rawBytes.end(), raw.begin());
    CheckFileName(FileNameFromCameraName(raw));

    const bool useConfig = in.ConsumeBool();
    const std::string config = in.ConsumeRandomLengthString(4000);
    std::vector<std::string> args;
    while (in.remaining_bytes() > 0 && args.size() < 40) {
        std::string arg = in.ConsumeRandomLengthString(80);
        // The config file is the one written here: a name from the input
        // could be any file of this machine.
        if (arg == "--config" || arg.starts_with("--config="))
            continue;
        args.push_back(std::move(arg));
    }
    if (useConfig) {
        std::ofstream(ConfigPath(), std::ios::binary | std::ios::trunc) << config;
        args.push_back("--config");
        args.push_back(ConfigPath());
    }

    EmulatorOptions options;
    std::string error;
    if (!ParseEmulatorOptions(args, &options, &error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    FUZZ_CHECK(options.help || !options.link.empty());
    const CameraConfig& c = options.camera;
    FUZZ_CHECK(c.modelText.size() <= 64 && c.cameraId.size() <= 32 && c.cameraVersion.size() <= 32);
    FUZZ_CHECK(c.text25.size() <= 32 && c.text37.size() <= 256);
    FUZZ_CHECK(c.objectPacketSize >= 1 && c.objectPacketSize <= 4096);
    FUZZ_CHECK(c.itemCount >= 0 && c.itemCount <= 1000);
    FUZZ_CHECK(options.randomPermille >= 0 && options.randomPermille <= 1000);
    for (const Fault& f : options.faults)
        FUZZ_CHECK(f.nth >= 1 && f.times >= 1);
    for (const std::string& program : options.programs) {
        const size_t eq = program.find('=');
        CheckNameRules(eq == std::string::npos ? program : program.substr(eq + 1));
    }
    const std::string signature = AcceptedSignature(c.modelText);
    FUZZ_CHECK(signature == "KAVRA~" || signature == "KAVRA+~");

    CameraEngine camera(c);
    for (const Fault& f : options.faults)
        camera.Faults().Add(f);
    if (options.randomFaults)
        camera.Faults().SetRandom(options.randomSeed, options.randomPermille);
    for (int i = 0; i < 8; ++i) {
        for (int e = 0; e < 6; ++e)
            camera.Faults().Hit(static_cast<FaultEvent>(e));
    }
    return 0;
}
