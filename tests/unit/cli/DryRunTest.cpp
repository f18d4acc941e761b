// --dry-run against the in-process camera, then the real command on the same
// camera: the rehearsal must tell exactly what the real run then does, and
// must change nothing.
#include "commands/CliCommands.h"

#include "camera/CameraConnection.h"
#include "emulator/CameraEngine.h"
#include "emulator/EmulatorLine.h"
#include "emulator/SamplePrograms.h"
#include "platform/VirtualTimeSource.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

namespace oskel::cli {
namespace {

struct Stored {
    const char* file;
    const char* version = nullptr; // the sample's own when null
};

struct DryRunCase {
    const char* what;
    bool upload;
    std::vector<Stored> camera;
    std::vector<std::string> names;
    AnswerPolicy answers;
    std::string expected; // each item's outcome (+ its host's), then what else went
    uint32_t capacity = 512u * 1024u;
    std::vector<std::string> leaveOut = {}; // sample files taken out of the folder
};

void PrintTo(const DryRunCase& c, std::ostream* os)
{
    *os << c.what;
}

emulator::StoredProgram Program(const Stored& s)
{
    emulator::StoredProgram stored;
    for (emulator::SampleProgram p : emulator::SampleSet(emulator::SampleSignatures::Plus)) {
        if (p.fileName != s.file)
            continue;
        if (s.version != nullptr)
            p.version = s.version;
        emulator::CameraNameFromFileName(p.fileName, &stored.name);
        stored.data = emulator::MakeProgramFile(p);
    }
    return stored;
}

// "uploaded+host uploaded,skipped also FRAMES.FNC" from the JSON result.
std::string Outcomes(const std::string& json)
{
    std::string summary;
    static const std::regex item(
        R"re("outcome":"([a-z ]+)"(,"host":\{"displayName":"[^"]*","outcome":"([a-z]+)"\})?)re");
    const std::string items = json.substr(0, json.find("\"alsoErased\""));
    for (std::sregex_iterator i(items.begin(), items.end(), item), end; i != end; ++i) {
        summary += (summary.empty() ? "" : ",") + (*i)[1].str();
        if ((*i)[3].matched)
            summary += "+host " + (*i)[3].str();
    }
    if (const size_t also = json.find("\"alsoErased\":["); also != std::string::npos) {
        const std::string list = json.substr(also, json.find(']', also) - also);
        static const std::regex name(R"re("cameraName":"([^"]*)")re");
        for (std::sregex_iterator i(list.begin(), list.end(), name), end; i != end; ++i)
            summary += " also " + (*i)[1].str();
    }
    return summary;
}

class DryRunTest : public ::testing::TestWithParam<DryRunCase> {
protected:
    DryRunTest() { CCameraConnection::ResetRunFlagsForTest(); }
    ~DryRunTest() override { CCameraConnection::ResetRunFlagsForTest(); }

    int Run(emulator::CameraEngine& camera, bool dryRun, std::string* json)
    {
        const DryRunCase& c = GetParam();
        emulator::EmulatorLine line(clock, camera, {0});
        std::ostringstream out, err;
        CliContext context{out, err, dir / "QUIVRAN.INI", CommEnvironment{&clock, &line, nullptr, nullptr}, nullptr};
        CliOptions options;
        options.command = c.upload ? "upload" : "remove";
        options.names = c.names;
        options.folder = folder;
        options.answers = c.answers;
        options.json = true;
        options.dryRun = dryRun;
        const int status = (c.upload ? RunUpload : RunRemove)(options, context);
        *json = out.str();
        return status;
    }

    test::TempDir dir;
    std::string folder = dir / "programs";
    VirtualTimeSource clock;
};

TEST_P(DryRunTest, TheRehearsalTellsWhatTheRealRunThenDoes)
{
    const DryRunCase& c = GetParam();
    ASSERT_TRUE(emulator::WriteSamplePrograms(folder, emulator::SampleSignatures::Plus, nullptr, nullptr));
    emulator::SampleProgram extra;
    extra.fileName = "EXTRA.FNC";
    extra.displayName = "Extra";
    const std::vector<uint8_t> bytes = emulator::MakeProgramFile(extra);
    test::WriteFileBytes(folder + "/EXTRA.FNC", std::string(bytes.begin(), bytes.end()));
    for (const std::string& file : c.leaveOut)
        std::filesystem::remove(folder + "/" + file);
    emulator::CameraConfig config;
    config.capacityBytes = c.capacity;
    for (const Stored& s : c.camera)
        config.programs.push_back(Program(s));
    emulator::CameraEngine camera(config);

    std::string rehearsed, done;
    const uint64_t changes = camera.Programs().Changes();
    const int rehearsedStatus = Run(camera, true, &rehearsed);
    EXPECT_EQ(camera.Programs().Changes(), changes) << "the dry run changed the camera";
    const int status = Run(camera, false, &done);

    EXPECT_EQ(Outcomes(rehearsed), c.expected) << rehearsed;
    EXPECT_EQ(Outcomes(done), c.expected) << done;
    const std::string dryMark = "\"dryRun\":true", realMark = "\"dryRun\":false";
    ASSERT_NE(rehearsed.find(dryMark), std::string::npos);
    rehearsed.replace(rehearsed.find(dryMark), dryMark.size(), realMark);
    EXPECT_EQ(rehearsed, done) << "messages, answers and the camera's list afterwards match too";
    EXPECT_EQ(rehearsedStatus, status);
}

const AnswerPolicy Yes = AnswerPolicy::Yes;
const AnswerPolicy No = AnswerPolicy::No;
const AnswerPolicy Cancel = AnswerPolicy::Cancel;
const uint32_t kDefaultCapacity = 512u * 1024u;

INSTANTIATE_TEST_SUITE_P(
    UploadAndRemoveCases, DryRunTest,
    ::testing::Values(
        DryRunCase{"AttachmentsBringTheirHost", true, {}, {"SLIDES.FNC", "FRAMEA.ATC", "FRAMEB.ATC"}, Yes,
                   "uploaded+host uploaded,uploaded,uploaded"},
        DryRunCase{"SingleCopySkippedMultiCopyCopied", true, {{"FRAMES.FNC"}, {"FRAMEA.ATC"}, {"FRAMEB.ATC"}},
                   {"FRAMEA.ATC", "FRAMEB.ATC"}, Yes, "skipped,copied"},
        DryRunCase{"UpToDateIsSkipped", true, {{"CLOCK.FNC"}}, {"CLOCK.FNC"}, Yes, "skipped"},
        DryRunCase{"OlderReplacedOnYes", true, {{"CLOCK.FNC", "0001"}}, {"CLOCK.FNC"}, Yes, "updated"},
        DryRunCase{"OlderKeptOnNo", true, {{"CLOCK.FNC", "0001"}}, {"CLOCK.FNC"}, No, "skipped"},
        DryRunCase{"CancelEndsTheRun", true, {{"FRAMES.FNC", "0001"}}, {"FRAMEB.ATC", "SLIDES.FNC"}, Cancel,
                   "cancelled,cancelled"},
        DryRunCase{"StoredHostUpdatedWhenOlder", true, {{"FRAMES.FNC", "0001"}}, {"FRAMEB.ATC"}, Yes,
                   "uploaded+host updated"},
        DryRunCase{"TooManyApplicationsRefused", true,
                   {{"CLOCK.FNC"}, {"SLIDES.FNC"}, {"FRAMES.FNC"}, {"STAMPS.FNC"}}, {"TIMER.FNC", "EXTRA.FNC"}, Yes,
                   "failed,failed"},
        DryRunCase{"NoMemoryRefused", true, {}, {"TIMER.FNC"}, Yes, "failed", 6000},
        DryRunCase{"UpdateWithoutRoomRefused", true, {{"TIMER.FNC", "0001"}}, {"TIMER.FNC"}, Yes, "failed", 9000},
        DryRunCase{"MissingHostRefused", true, {}, {"FRAMEA.ATC", "SLIDES.FNC"}, Yes, "failed,uploaded",
                   kDefaultCapacity, {"FRAMES.FNC"}},
        DryRunCase{"LastAttachmentTakesItsHost", false, {{"FRAMES.FNC"}, {"FRAMEA.ATC"}, {"CLOCK.FNC"}},
                   {"FRAMEA.ATC"}, Yes, "erased also FRAMES.FNC"},
        DryRunCase{"EmptiedListTakesTheLeftovers", false, {{"STAMPS.FNC"}, {"CLOCK.FNC"}}, {"CLOCK.FNC"}, Yes,
                   "erased also STAMPS.FNC"},
        DryRunCase{"RemovalNotConfirmed", false, {{"CLOCK.FNC"}, {"SLIDES.FNC"}}, {"CLOCK.FNC", "#2"}, No,
                   "not confirmed,not confirmed"}),
    [](const ::testing::TestParamInfo<DryRunCase>& param) { return std::string(param.param.what); });

} // namespace
} // namespace oskel::cli
