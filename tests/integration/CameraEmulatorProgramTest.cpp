// camera-emulator as a separate process on a real pty, driven by the termios
// back end and the camera communication object in real time.
#include "emulator/CameraConfig.h"
#include "emulator/SamplePrograms.h"
#include "platform/RealTimeSource.h"
#include "platform/RealTimeThreadPriority.h"
#include "protocol/CameraComm.h"
#include "protocol/ProgramInfoRecord.h"
#include "serial/TermiosSerialOps.h"
#include "emulator/EmulatorProcess.h"
#include "support/MemorySource.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace oskel::test {
namespace {

using emulator::EmulatorProcess;

struct PcSide {
    explicit PcSide(const std::string& link)
    {
        ops.SetDeviceOverride(link);
        comm.SetPort(0);
    }
    TermiosSerialOps ops{RealTimeSource::Instance(), RealTimeThreadPriority::Instance(), PortMap("/nonexistent")};
    CCameraComm comm{ops, RealTimeSource::Instance()};
};

TEST(CameraEmulatorProgram, HandshakeSpeedChangeModelTextAndCloseAtEverySpeed)
{
    TempDir dir;
    const std::string link = dir / "camera";
    EmulatorProcess emulator(OSKEL_CAMERA_EMULATOR, link, {"--model", "SR82 integration camera"});
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    for (int speed : {9600, 19200, 38400, 57600, 115200, 230400}) {
        PcSide pc(link);
        pc.comm.SetSpeed(speed);
        ASSERT_TRUE(pc.comm.Open()) << speed;
        EXPECT_EQ(pc.ops.CurrentSpeed(), speed);
        char model[65] = {};
        ASSERT_TRUE(pc.comm.GetModelText(model)) << speed;
        EXPECT_STREQ(model, "SR82 integration camera");
        EXPECT_EQ(pc.comm.GetReg1(), 1) << speed;
        pc.comm.Close();
    }
    EXPECT_EQ(emulator.Stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(link)); // the link goes with the program
}

TEST(CameraEmulatorProgram, ProgramsStoredAndUploadedAreDumpedOnExit)
{
    TempDir dir;
    const std::string link = dir / "camera";
    std::string error;
    ASSERT_TRUE(emulator::WriteSamplePrograms(dir / "programs", emulator::SampleSignatures::Both, nullptr, &error));
    const std::string log = dir / "wire.log";
    EmulatorProcess emulator(OSKEL_CAMERA_EMULATOR, link, {"--program", dir / "programs/CLOCK.FNC", "--wire-log", log, "--dump",
                                    dir / "after", "--upload-enq-delay", "100"});
    PcSide pc(link);
    pc.comm.SetSpeed(115200);
    ASSERT_TRUE(pc.comm.Open());
    EXPECT_EQ(pc.comm.GetProgramCount(), 1);
    ProgramInfoRecord record;
    ASSERT_TRUE(pc.comm.ReadProgramInfo(1, &record));
    EXPECT_EQ(std::string(record.CameraName(), 11), "CLOCK   FNC");
    EXPECT_EQ(record.StoredSize(), 3000u);

    const std::string slidesFile = ReadFileBytes(dir / "programs/SLIDES.FNC").value_or("");
    ASSERT_EQ(slidesFile.size(), 2200u);
    const std::vector<uint8_t> slides(slidesFile.begin(), slidesFile.end());
    emulator::CameraName name{};
    ASSERT_TRUE(emulator::CameraNameFromFileName("SLIDES.FNC", &name));
    MemorySource source(slides);
    ASSERT_TRUE(pc.comm.UploadProgram(reinterpret_cast<const char*>(name.data()), &source));
    EXPECT_EQ(pc.comm.GetProgramCount(), 2);
    pc.comm.Close();

    EXPECT_EQ(emulator.Stop(), 0);
    EXPECT_EQ(ReadFileBytes(dir / "after/SLIDES.FNC"), ReadFileBytes(dir / "programs/SLIDES.FNC"));
    EXPECT_TRUE(std::filesystem::exists(dir / "after/CLOCK.FNC"));
    const std::string wire = ReadFileBytes(log).value_or("");
    EXPECT_NE(wire.find("data STX seq 1 len 2016"), std::string::npos);
    EXPECT_NE(wire.find("speed code 5 (115200 bit/s)"), std::string::npos);
}

TEST(CameraEmulatorProgram, BadOptionsAreExplained)
{
    TempDir dir;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--capacity", "lots", "--link", dir / "x"},
          std::vector<std::string>{"--frobnicate"},
          std::vector<std::string>{"--program", dir / "missing.fnc", "--link", dir / "x"},
          std::vector<std::string>{}}) {
        std::string command = std::string(OSKEL_CAMERA_EMULATOR);
        for (const std::string& a : args)
            command += " '" + a + "'";
        command += " 2>&1";
        FILE* p = popen(command.c_str(), "r");
        ASSERT_NE(p, nullptr);
        std::string out;
        char buffer[256];
        while (fgets(buffer, sizeof buffer, p) != nullptr)
            out += buffer;
        const int status = pclose(p);
        EXPECT_EQ(WEXITSTATUS(status), 2) << command;
        EXPECT_EQ(out.rfind("camera-emulator: ", 0), 0u) << out;
        EXPECT_FALSE(std::filesystem::exists(dir / "x"));
    }
}

} // namespace
} // namespace oskel::test
