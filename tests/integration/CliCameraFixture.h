#pragma once

#include "emulator/EmulatorProcess.h"
#include "emulator/SamplePrograms.h"
#include "integration/CliRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace oskel::test {

inline bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The command line against camera-emulator on a pty, with the sample
// programs and a big one (BIGVIEW.FNC, 60000 bytes) in the folder.
class CliCameraFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(emulator::WriteSamplePrograms(folder, emulator::SampleSignatures::Plus, nullptr, nullptr));
        emulator::SampleProgram big;
        big.fileName = "BIGVIEW.FNC";
        big.displayName = "Big Viewer";
        big.size = 60000;
        WriteProgram(folder + "/BIGVIEW.FNC", big);
    }

    void StartEmulator(const std::vector<std::string>& extra)
    {
        camera = std::make_unique<emulator::EmulatorProcess>(OSKEL_CAMERA_EMULATOR, link, extra);
        ASSERT_TRUE(std::filesystem::is_symlink(link));
    }

    static void WriteProgram(const std::string& path, const emulator::SampleProgram& program)
    {
        const std::vector<uint8_t> bytes = emulator::MakeProgramFile(program);
        WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
    }

    std::vector<std::string> Args(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--device", link, "--folder", folder});
        return args;
    }
    CliRun Cli(std::vector<std::string> args) { return RunCli(config.Path(), Args(std::move(args))); }

    TempDir config;
    std::string folder = config / "programs";
    std::string link = config / "camera";
    std::unique_ptr<emulator::EmulatorProcess> camera;
};

} // namespace oskel::test
