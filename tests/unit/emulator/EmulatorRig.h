#pragma once

#include "support/MemorySource.h"

#include "emulator/CameraEngine.h"
#include "emulator/EmulatorLine.h"
#include "emulator/SamplePrograms.h"
#include "platform/VirtualTimeSource.h"
#include "protocol/CameraComm.h"
#include "protocol/TransferInterfaces.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace oskel::test {

// A camera communication object talking to the in-process camera over the
// emulator line, in virtual time. Every line of the camera's wire log is kept.
struct EmulatorRig {
    explicit EmulatorRig(emulator::CameraConfig config = emulator::CameraConfig(), std::vector<int> ports = {0})
        : camera(std::move(config)), line(clock, camera, std::move(ports)), comm(line, clock)
    {
        camera.SetLog([this](const std::string& text) { log.push_back(text); });
        comm.SetPort(0);
    }

    int LogCount(const std::string& needle) const
    {
        return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& l) {
            return l.find(needle) != std::string::npos;
        }));
    }
    uint64_t NowMs() const { return clock.NowUs() / 1000u; }

    std::vector<std::string> log; // first: the camera still logs while comm closes the link
    VirtualTimeSource clock;
    emulator::CameraEngine camera;
    emulator::EmulatorLine line;
    CCameraComm comm;
};


inline std::vector<uint8_t> SampleFile(const std::string& fileName)
{
    for (const emulator::SampleProgram& p : emulator::SampleSet(emulator::SampleSignatures::Both)) {
        if (p.fileName == fileName)
            return emulator::MakeProgramFile(p);
    }
    return {};
}

inline emulator::CameraName NameOf(const std::string& fileName)
{
    emulator::CameraName name{};
    emulator::CameraNameFromFileName(fileName, &name);
    return name;
}

} // namespace oskel::test
