// The subcommands against the in-process camera on the emulated line, in
// virtual time, with their settings in a temporary QUIVRAN.INI.
#include "commands/CliCommands.h"
#include "CliInterrupt.h"

#include "camera/CameraConnection.h"
#include "camera/CommSettings.h"
#include "emulator/AdapterModel.h"
#include "emulator/CameraEngine.h"
#include "emulator/EmulatorLine.h"
#include "emulator/SamplePrograms.h"
#include "platform/ProfileFile.h"
#include "platform/VirtualTimeSource.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>
#include <unistd.h>
#include <string>
#include <vector>

namespace oskel::cli {
namespace {

using test::TempDir;

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class CliCommandsTest : public ::testing::Test {
protected:
    CliCommandsTest() { CCameraConnection::ResetRunFlagsForTest(); }
    ~CliCommandsTest() override
    {
        CCameraConnection::ResetRunFlagsForTest();
        ResetInterruptForTest();
    }

    // Runs a command against a camera that answers on `ports`.
    int Run(int (*command)(const CliOptions&, CliContext&), const CliOptions& options, std::vector<int> ports = {0})
    {
        emulator::CameraEngine camera(config);
        for (const emulator::Fault& fault : faults)
            camera.Faults().Add(fault);
        camera.SetLog([this](const std::string& line) {
            log.push_back(line);
            if (interruptOnFirstByte || (!interruptOn.empty() && line.find(interruptOn) != std::string::npos))
                RequestInterruptForTest();
        });
        emulator::EmulatorLine line(clock, camera, std::move(ports));
        if (adapter)
            line.SetAdapter(*adapter);
        CliContext context{out, err, settingsPath, CommEnvironment{&clock, &line, nullptr, nullptr}, nullptr};
        context.programsCache = programsCache;
        return command(options, context);
    }

    static CliOptions With(std::optional<int> port, std::optional<int> speed)
    {
        CliOptions o;
        o.port = port;
        o.speed = speed;
        return o;
    }

    void Store(const char* key, int value) { ProfileFile(settingsPath).WriteInt(kCommSection, key, value); }
    int Stored(const char* key) { return ProfileFile(settingsPath).GetInt(kCommSection, key, -12345); }
    bool Logged(const std::string& needle) const
    {
        for (const std::string& l : log) {
            if (l.find(needle) != std::string::npos)
                return true;
        }
        return false;
    }

    std::vector<emulator::Fault> faults; // added to the camera of each run
    std::optional<emulator::AdapterModel> adapter; // between the camera and the PC
    bool interruptOnFirstByte = false;
    std::string interruptOn; // a camera log text after which Ctrl+C arrives
    TempDir dir;
    std::string settingsPath = dir / "QUIVRAN.INI";
    std::string programsCache; // none unless a test names one
    VirtualTimeSource clock;
    emulator::CameraConfig config;
    std::vector<std::string> log;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CliCommandsTest, ProbeOnAFreshSettingsFileClimbsToTheTopAndWritesTheSettingsBack)
{
    EXPECT_EQ(Run(RunProbe, CliOptions{}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "Port: COM1\n"
                         "Speed: 230400\n"
                         "Model: SR82 OSKEL camera emulator\n"
                         "Family: 5 (supported)\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(Stored("Port"), SETTING_AUTO);
    EXPECT_EQ(Stored("Speed"), SETTING_AUTO | 230400);
    EXPECT_EQ(Stored("Camera"), 82);
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(Logged("speed code 0 (close)")) << "the link is closed as at the program's exit";
}

// --verbose tells the connection on the error stream only; behind an
// adapter whose timer holds answers back, with the command that lowers it.
TEST_F(CliCommandsTest, VerboseTellsTheConnectionAndASlowLatencyTimerOnTheErrorStream)
{
    std::string ignored;
    adapter = emulator::AdapterModel::Parse("ftdi", &ignored);
    CliOptions verbose = With(0, 230400);
    verbose.verbose = true;
    verbose.json = true;
    EXPECT_EQ(Run(RunProbe, verbose), kExitOk) << err.str();
    EXPECT_TRUE(out.str().starts_with("{\"port\":\"COM1\"")) << out.str(); // the JSON alone
    EXPECT_EQ(err.str(), "Port: COM1\n"
                         "Speed: 230400 bit/s\n"
                         "Adapter: latency timer 16 ms: every answer from the camera waits up to 16 ms in the "
                         "adapter; for 1 ms: echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer\n");
    err.str("");
    adapter = emulator::AdapterModel::Parse("ftdi:1", &ignored);
    EXPECT_EQ(Run(RunProbe, verbose), kExitOk) << err.str();
    EXPECT_TRUE(err.str().ends_with("Adapter: latency timer 1 ms\n")) << err.str();
}

TEST_F(CliCommandsTest, JsonOutputOfProbeAndAbout)
{
    CliOptions json;
    json.json = true;
    config.cameraVersion = "FW \"2\"\xE9";
    EXPECT_EQ(Run(RunProbe, json), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "{\"port\":\"COM1\",\"portIndex\":0,\"speed\":230400,\"model\":\"SR82 OSKEL camera emulator\","
                         "\"modelRead\":true,\"family\":5,\"supported\":true,\"holders\":[]}\n");
    out.str("");
    EXPECT_EQ(Run(RunAbout, json), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "{\"id\":\"OSKEL-EMU-000001\",\"version\":\"FW \\\"2\\\"\\u00E9\",\"idRead\":true,"
                         "\"versionRead\":true}\n");
}

// The choice cannot be kept: said on the error stream, the status stays.
TEST_F(CliCommandsTest, SettingsThatCannotBeSavedAreToldAndTheStatusStays)
{
    std::filesystem::create_directory(settingsPath);
    EXPECT_EQ(Run(RunProbe, With(std::nullopt, 57600)), kExitOk) << err.str();
    EXPECT_NE(out.str().find("Speed: 57600\n"), std::string::npos) << out.str();
    EXPECT_EQ(err.str(), "oskel-uploader-cli: The settings could not be saved: " + settingsPath +
                             " is not a regular file\n");
}

TEST_F(CliCommandsTest, ProbeSearchesThePortsAndKeepsTheAutomaticMark)
{
    config.modelText = "SR52 family four";
    EXPECT_EQ(Run(RunProbe, CliOptions{}, {2}), kExitOk) << err.str();
    EXPECT_NE(out.str().find("Port: COM3\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Family: 4 (supported)\n"), std::string::npos);
    EXPECT_EQ(Stored("Port"), SETTING_AUTO | 2);
    EXPECT_EQ(Stored("Camera"), 52);
}

// --port and --speed are for the run they are given to: the stored choices
// stay as they were, whatever the run found, reached or not.
TEST_F(CliCommandsTest, PortAndSpeedGivenAreUsedForThisRunOnly)
{
    struct Case {
        std::optional<int> port, speed;
        int cameraPort;
        int status;
        const char* shown;
    };
    const Case cases[] = {
        {1, 57600, 1, kExitOk, "Port: COM2\nSpeed: 57600\n"},
        {std::nullopt, -1, 2, kExitOk, "Port: COM3\nSpeed: 230400\n"},
        {-1, std::nullopt, 2, kExitOk, "Port: COM3\nSpeed: 57600\n"},
        {3, 19200, 0, kExitNoCamera, ""},
    };
    for (const Case& c : cases) {
        out.str("");
        err.str("");
        Store("Port", SETTING_AUTO | 2);
        Store("Speed", 57600);
        EXPECT_EQ(Run(RunProbe, With(c.port, c.speed), {c.cameraPort}), c.status) << err.str();
        EXPECT_TRUE(Contains(out.str(), c.shown)) << out.str();
        EXPECT_EQ(Stored("Port"), SETTING_AUTO | 2) << c.shown;
        EXPECT_EQ(Stored("Speed"), 57600) << c.shown;
    }
}

TEST_F(CliCommandsTest, AFixedPortWithoutCameraFailsWithoutSearchingTheOthersAndSaysHowToSearch)
{
    EXPECT_EQ(Run(RunProbe, With(3, 19200), {0}), kExitNoCamera);
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(Contains(err.str(), "Only COM4")) << err.str();
    EXPECT_TRUE(Contains(err.str(), "was tried: the port is fixed by --port. --port auto searches every port"))
        << err.str();
    EXPECT_FALSE(Logged("PC>CAM")) << "COM1 holds the camera but was never opened";
}

TEST_F(CliCommandsTest, APortBeyondMaxPortIsAUsageError)
{
    Store("MaxPort", 2);
    EXPECT_EQ(Run(RunProbe, With(2, std::nullopt), {2}), kExitUsage);
    EXPECT_NE(err.str().find("COM3"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
}

// A model text that could not be read is no unknown model: it is told as it
// is, and the option for unknown models does not admit the camera.
TEST_F(CliCommandsTest, AModelTextThatCannotBeReadIsToldAsSuch)
{
    faults.push_back({emulator::FaultKind::FailModelText, 1, 1000});
    CliOptions admit;
    admit.acceptUnknownModels = true;
    EXPECT_EQ(Run(RunProbe, admit), kExitNoCamera);
    EXPECT_NE(err.str().find("its model text could not be read"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("does not support its model"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("--accept-unknown-models"), std::string::npos) << err.str();
}

TEST_F(CliCommandsTest, AnOlderModelIsRefusedUnlessTheOptionAdmitsIt)
{
    config.modelText = "SR42 older";
    EXPECT_EQ(Run(RunProbe, CliOptions{}), kExitNoCamera);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("does not support its model"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("family 3"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("--accept-older-models"), std::string::npos) << err.str();

    err.str("");
    CliOptions admit;
    admit.acceptOlderModels = true;
    EXPECT_EQ(Run(RunProbe, admit), kExitOk) << err.str();
    EXPECT_NE(out.str().find("Family: 3 (older model, admitted)\n"), std::string::npos) << out.str();
    EXPECT_EQ(Stored("Camera"), -12345) << "only families 4 and 5 are written";
}

TEST_F(CliCommandsTest, AnUnknownModelNeedsItsOwnOption)
{
    config.modelText = "XY99";
    CliOptions older;
    older.acceptOlderModels = true;
    EXPECT_EQ(Run(RunProbe, older), kExitNoCamera);
    EXPECT_NE(err.str().find("--accept-unknown-models"), std::string::npos) << err.str();

    CliOptions unknown;
    unknown.acceptUnknownModels = true;
    EXPECT_EQ(Run(RunProbe, unknown), kExitOk) << err.str();
    EXPECT_NE(out.str().find("Model: XY99\nFamily: 0 (unknown model, admitted)\n"), std::string::npos) << out.str();
}

TEST_F(CliCommandsTest, AnSr35CameraIsAdmittedAsUnknownOnFirstSight)
{
    config.modelText = "SR35 later model";
    CliOptions unknown;
    unknown.acceptUnknownModels = true;
    EXPECT_EQ(Run(RunProbe, unknown), kExitOk) << err.str();
    EXPECT_EQ(Stored("Camera"), -12345) << "family 0 when admitted: nothing for the sibling application";
}

TEST_F(CliCommandsTest, AboutPrintsTheTwoLinesAsTheAboutBoxFormsThem)
{
    config.cameraId = "CAM-0042 \t ";
    config.cameraVersion = "FW 2.10\r\n";
    EXPECT_EQ(Run(RunAbout, CliOptions{}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "Camera Id: CAM-0042\nCamera Version: FW 2.10\n");
    EXPECT_EQ(Stored("Speed"), SETTING_AUTO | 230400);
    EXPECT_TRUE(Logged("speed code 0 (close)"));
}

TEST_F(CliCommandsTest, AboutWithA32CharacterIdAndControlBytes)
{
    config.cameraId = std::string(32, 'I');
    config.cameraVersion = "V\x1b[31m1";
    EXPECT_EQ(Run(RunAbout, CliOptions{}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "Camera Id: " + std::string(32, 'I') + "\nCamera Version: V\\x1B[31m1\n");
}

TEST_F(CliCommandsTest, AboutWithoutCameraSaysSoAndThenWhy)
{
    EXPECT_EQ(Run(RunAbout, CliOptions{}, {}), kExitNoCamera);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str().find("oskel-uploader-cli: The camera is not connected.\noskel-uploader-cli: "), 0u)
        << err.str();
    EXPECT_GT(err.str().size(), std::string("oskel-uploader-cli: The camera is not connected.\n").size() + 25);
}

TEST_F(CliCommandsTest, ALowBatteryIsToldAfterTheFirstConnectionAndTheCommandGoesOn)
{
    config.battery = 12;
    EXPECT_EQ(Run(RunAbout, CliOptions{}), kExitOk) << err.str();
    EXPECT_EQ(err.str(), "oskel-uploader-cli: The battery level is very low, a condition that may cause problems "
                         "when transferring images from the camera.\n");
}

TEST_F(CliCommandsTest, AnInterruptBeforeTheConnectOpensNoPort)
{
    RequestInterruptForTest();
    EXPECT_EQ(Run(RunProbe, CliOptions{}), kExitInterrupted);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "oskel-uploader-cli: interrupted\n");
    EXPECT_TRUE(log.empty());
}

TEST_F(CliCommandsTest, AnInterruptDuringTheConnectEndsWithTheLinkClosedAsUsual)
{
    interruptOnFirstByte = true;
    EXPECT_EQ(Run(RunAbout, CliOptions{}), kExitInterrupted);
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(Logged("speed code 0 (close)")) << "the camera is sent back to 19200";
}

} // namespace
} // namespace oskel::cli

namespace oskel::cli {
namespace {

class CliProgramsTest : public CliCommandsTest {
protected:
    CliProgramsTest()
    {
        emulator::WriteSamplePrograms(folder, emulator::SampleSignatures::Plus, nullptr, nullptr);
        options.folder = folder;
        options.answers = AnswerPolicy::Yes;
    }
    CliOptions Names(std::vector<std::string> names)
    {
        CliOptions o = options;
        o.names = std::move(names);
        return o;
    }

    std::string folder = dir / "programs";
    CliOptions options;
};

TEST_F(CliProgramsTest, AnInterruptDuringAnUploadCancelsItAtAPacketAndClosesTheLink)
{
    interruptOn = "program upload announced";
    EXPECT_EQ(Run(RunUpload, Names({"TIMER.FNC"})), kExitInterrupted);
    const std::string shown = err.str();
    EXPECT_EQ(shown.find("oskel-uploader-cli: "), shown.rfind("oskel-uploader-cli: interrupted\n"))
        << "a cancel shows no message\n"
        << shown;
    // Stopped at the first packet, before the camera acknowledged any byte.
    EXPECT_NE(shown.find("0.0 KiB of 4.9 KiB  0%"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("100%"), std::string::npos) << shown;
    EXPECT_TRUE(Logged("speed code 0 (close)"));
    EXPECT_FALSE(Logged("action 11")) << "the program was never stored";
}

// "Café" in UTF-8, "Olé" in the old code page: the JSON means the text that
// `list` shows, and the bytes of a name that is not UTF-8 select it.
TEST_F(CliProgramsTest, ListJsonCarriesNamesByCodePointAndOddNamesAlsoAsBytes)
{
    auto write = [this](const std::string& file, const std::string& display, const std::string& id) {
        emulator::SampleProgram p;
        p.fileName = file;
        p.displayName = display;
        p.appId = id;
        const std::vector<uint8_t> bytes = emulator::MakeProgramFile(p);
        test::WriteFileBytes(folder + "/" + file, std::string(bytes.begin(), bytes.end()));
    };
    write("Caf\xC3\xA9.fnc", "Caf\xC3\xA9 Clock", "0E01");
    write("Ol\xE9.fnc", "Ol\xE9 Frame", "0E02");
    options.json = true;
    ASSERT_EQ(Run(RunList, options), kExitOk) << err.str();
    const std::string json = out.str();
    EXPECT_NE(json.find(R"("displayName":"Caf\u00E9 Clock","fileName":"Caf\u00E9.fnc","kind")"), std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("displayName":"Ol\u00E9 Frame","displayNameHex":"4F6CE9204672616D65",)"
                        R"("fileName":"Ol\u00E9.fnc","fileNameHex":"4F6CE92E666E63")"),
              std::string::npos)
        << json;

    EXPECT_EQ(Run(RunUpload, Names({"Ol\xE9.fnc", "Caf\xC3\xA9.fnc"})), kExitOk) << err.str();
    EXPECT_TRUE(Logged("program upload announced as \"Ol.     fnc\"")) << "chosen by its bytes";
    EXPECT_TRUE(Logged("program upload announced as \"Caf..   fnc\""));

    emulator::StoredProgram stored;
    std::memcpy(stored.name.data(), "Ol\xE9     fnc", 11);
    stored.data = emulator::MakeProgramFile({.fileName = "Ol\xE9.fnc", .appId = "0E02", .displayName = "Ol\xE9", .note = ""});
    config.programs = {stored};
    out.str("");
    ASSERT_EQ(Run(RunList, options), kExitOk) << err.str();
    EXPECT_NE(out.str().find(R"("cameraName":"Ol\u00E9.fnc","cameraNameHex":"4F6CE92E666E63")"), std::string::npos)
        << out.str();
    log.clear();
    EXPECT_EQ(Run(RunRemove, Names({"Ol\xE9.fnc"})), kExitOk) << err.str();
    EXPECT_TRUE(Logged("action 13 finished")) << "removed by the bytes of its camera name";
}

// A run that reads the camera keeps the names remove completes to (no
// host), as the camera stores them; a removal drops the erased one.
TEST_F(CliProgramsTest, TheCameraNamesAreKeptForCompletion)
{
    for (const emulator::SampleProgram& p : emulator::SampleSet(emulator::SampleSignatures::Plus)) {
        emulator::StoredProgram stored;
        emulator::CameraNameFromFileName(p.fileName == "TIMER.FNC" ? "SP ACE.FNC" : p.fileName, &stored.name);
        stored.data = emulator::MakeProgramFile(p);
        if (p.fileName == "CLOCK.FNC" || p.fileName == "TIMER.FNC" || p.fileName == "FRAMES.FNC")
            config.programs.push_back(stored);
    }
    programsCache = dir / "cache/oskel-uploader/camera-programs";
    CliOptions names;
    names.names = {"names", "remove"};
    ASSERT_EQ(Run(RunCompletion, names), kExitOk);
    EXPECT_EQ(out.str(), "") << "no cache, no names";

    ASSERT_EQ(Run(RunList, options), kExitOk) << err.str();
    EXPECT_EQ(test::ReadFileBytes(programsCache), "CLOCK.FNC\nSP ACE.FNC\n");
    out.str("");
    ASSERT_EQ(Run(RunCompletion, names), kExitOk);
    EXPECT_EQ(out.str(), "CLOCK.FNC\nSP ACE.FNC\n");
    ASSERT_EQ(Run(RunRemove, Names({"SP ACE.FNC"})), kExitOk) << err.str();
    EXPECT_EQ(test::ReadFileBytes(programsCache), "CLOCK.FNC\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "cache/oskel-uploader"), {}), 1)
        << "no temporary file left";
}

// A file of 2 GiB or more is listed with its size, not a 32-bit stand-in.
TEST_F(CliProgramsTest, ListShowsTheRealSizeOfAHugeFile)
{
    emulator::SampleProgram p;
    p.fileName = "HUGE.FNC";
    p.displayName = "Huge";
    p.appId = "0E03";
    const std::vector<uint8_t> bytes = emulator::MakeProgramFile(p);
    test::WriteFileBytes(folder + "/HUGE.FNC", std::string(bytes.begin(), bytes.end()));
    ASSERT_EQ(truncate((folder + "/HUGE.FNC").c_str(), 3221225472LL), 0); // sparse: nothing is written
    ASSERT_EQ(Run(RunList, options), kExitOk) << err.str();
    EXPECT_NE(out.str().find("HUGE.FNC    application  0100     3221225472\n"), std::string::npos) << out.str();
}

TEST_F(CliProgramsTest, UnknownNamesAreAUsageErrorAndNothingIsSent)
{
    EXPECT_EQ(Run(RunUpload, Names({"CLOCK.FNC", "NOPE.FNC"})), kExitUsage);
    EXPECT_NE(err.str().find("no application in the folder " + folder + "/ is called \"NOPE.FNC\"; there are:\n"
                             "  \"Frame: Classic\" (FRAMEA.ATC)"),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(Logged("program upload announced"));
    EXPECT_EQ(Run(RunRemove, Names({"World Clock"})), kExitUsage) << "the camera is empty";
}

// The program count is the 16th packet of a run that finds World Clock alone
// in the camera: seven NAKs make that read fail.
TEST_F(CliProgramsTest, ACountThatCouldNotBeReadIsReadAgainBeforeNamesAreMatched)
{
    for (const emulator::SampleProgram& p : emulator::SampleSet(emulator::SampleSignatures::Plus)) {
        if (p.fileName == "CLOCK.FNC") {
            emulator::StoredProgram worldClock;
            emulator::CameraNameFromFileName(p.fileName, &worldClock.name);
            worldClock.data = emulator::MakeProgramFile(p);
            config.programs.push_back(worldClock);
        }
    }
    faults = {{emulator::FaultKind::Nak, 16, 7}};
    EXPECT_EQ(Run(RunRemove, Names({"World Clock"})), kExitOk) << err.str();
    EXPECT_TRUE(Logged("erase")) << err.str();
}

TEST_F(CliProgramsTest, AFailureMessageOrADeclinedConfirmationMakesTheStatusOne)
{
    config.capacityBytes = 2000; // too small for the clock
    EXPECT_EQ(Run(RunUpload, Names({"CLOCK.FNC"})), kExitFailed);
    EXPECT_NE(err.str().find("The camera does not have enough memory or is full."), std::string::npos) << err.str();

    config.capacityBytes = 512 * 1024;
    config.battery = 5;
    options.answers = AnswerPolicy::Cancel;
    err.str("");
    EXPECT_EQ(Run(RunUpload, Names({"CLOCK.FNC"})), kExitFailed) << "the battery question answered Cancel";
    EXPECT_FALSE(Logged("program upload announced"));
}

} // namespace
} // namespace oskel::cli
