#pragma once

#include "camera/CameraHolder.h"
#include "emulator/CameraEngine.h"
#include "emulator/EmulatorLine.h"
#include "emulator/SamplePrograms.h"
#include "platform/PlatformInfo.h"
#include "platform/VirtualTimeSource.h"

#include <memory>
#include <string>
#include <vector>

namespace oskel::test {

// The in-process camera emulator on its line in virtual time, and camera
// holders that talk to it: the camera for tests of whole dialogs.
class EmulatedCamera {
public:
    // ports: the port indexes where the camera answers (none: no camera).
    explicit EmulatedCamera(emulator::CameraConfig config = {}, std::vector<int> ports = {0})
        : engine(std::move(config)), line(clock, engine, std::move(ports))
    {
    }

    // A holder whose connection reads and writes its keys in settings.
    std::unique_ptr<CCameraHolder> MakeHolder(ProfileFile& settings)
    {
        return std::make_unique<CCameraHolder>(std::make_unique<CCameraConnection>(settings, line, clock, platform));
    }

    // A sample program (emulator/SamplePrograms) as the camera stores it.
    static emulator::StoredProgram Sample(const std::string& fileName)
    {
        emulator::StoredProgram stored;
        for (const emulator::SampleProgram& p : emulator::SampleSet(emulator::SampleSignatures::Both)) {
            if (p.fileName == fileName) {
                emulator::CameraNameFromFileName(fileName, &stored.name);
                stored.data = emulator::MakeProgramFile(p);
            }
        }
        return stored;
    }

    // Names of the programs the camera holds, slot order.
    std::vector<std::string> StoredNames() const
    {
        std::vector<std::string> names;
        for (const emulator::StoredProgram& p : engine.Programs().All())
            names.emplace_back(reinterpret_cast<const char*>(p.name.data()));
        return names;
    }

    struct Platform final : PlatformInfo {
        PlatformVersion Query() override { return {true, kPlatformWin32NT, 6}; }
    };

    VirtualTimeSource clock;
    emulator::CameraEngine engine;
    emulator::EmulatorLine line;
    Platform platform;
};

} // namespace oskel::test
