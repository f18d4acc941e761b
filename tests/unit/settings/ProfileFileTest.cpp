#include "platform/ProfileFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace oskel {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;
using Step = ProfileFile::Step;

const std::string kSibling = "; written by the photo application\r\n"
                             "[Camera]\r\nFlash=Auto\r\nQuality = Fine \r\n\r\n"
                             "[Communication]\r\nPort=1\r\nSpeed=19200\r\n\r\n"
                             "[Window]\r\nPos=1 2 3 4\r\n";

const Step kAllSteps[] = {Step::Locked,      Step::Read,       Step::TempCreated, Step::TempPartial,
                          Step::TempWritten, Step::TempSynced, Step::Renamed,     Step::FolderSynced};

int CountTemps(const std::string& folder)
{
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        n += entry.path().filename().string().find(".tmp-") != std::string::npos;
    return n;
}

// Runs body in a child process, without root's privileges when the tests
// run as root (so that permissions apply); true when it returned true.
bool InChild(const std::function<bool()>& body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(ProfileFileInt, ClassicReading)
{
    EXPECT_EQ(ProfileFile::ParseInt("12abc"), 12);
    EXPECT_EQ(ProfileFile::ParseInt("-5"), -5);
    EXPECT_EQ(ProfileFile::ParseInt("+7"), 7);
    EXPECT_EQ(ProfileFile::ParseInt("abc"), 0);
    EXPECT_EQ(ProfileFile::ParseInt("0x10"), 0);
    EXPECT_EQ(ProfileFile::ParseInt("1073761024"), 1073761024);
    EXPECT_EQ(ProfileFile::ParseInt("2147483647"), INT_MAX);
    EXPECT_EQ(ProfileFile::ParseInt("2147483648"), INT_MAX);
    EXPECT_EQ(ProfileFile::ParseInt("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(ProfileFile::ParseInt("-2147483648"), INT_MIN);
    EXPECT_EQ(ProfileFile::ParseInt("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(ProfileFile::ParseInt("- 5"), 0);
}

TEST(ProfileFileInt, DefaultOnlyWithoutAValue)
{
    TempDir dir;
    ProfileFile file(dir / "Q.INI");
    EXPECT_EQ(file.GetInt("Communication", "Port", 42), 42);  // no file
    WriteFileBytes(file.Path(), "[Communication]\nPort=\nSpeed=abc\nMaxPort=\"4\"\nCamera\n");
    EXPECT_EQ(file.GetInt("Communication", "Port", 42), 42);
    EXPECT_EQ(file.GetInt("Communication", "Speed", 42), 0);
    EXPECT_EQ(file.GetInt("Communication", "MaxPort", 9), 4);
    EXPECT_EQ(file.GetInt("Communication", "Camera", 7), 7);
    EXPECT_EQ(file.GetInt("Communication", "Other", -1), -1);
}

TEST(ProfileFileWrite, KeepsTheSiblingsBytes)
{
    TempDir dir;
    ProfileFile file(dir / "Q.INI");
    WriteFileBytes(file.Path(), kSibling);
    ASSERT_TRUE(file.WriteInt("communication", "PORT", 1073741826));
    std::string expected = kSibling;
    expected.replace(expected.find("Port=1") + 5, 1, "1073741826");
    EXPECT_EQ(ReadFileBytes(file.Path()), expected);

    ASSERT_TRUE(file.WriteString("UploadDialog", "AppPosition", "10 20 300 200 1"));
    expected += "\r\n[UploadDialog]\r\nAppPosition=10 20 300 200 1\r\n";
    EXPECT_EQ(ReadFileBytes(file.Path()), expected);
    EXPECT_EQ(file.GetString("uploaddialog", "appposition", ""), "10 20 300 200 1");
    EXPECT_EQ(CountTemps(dir.Path()), 0);
}

TEST(ProfileFileWrite, FirstWriteCreatesFolderAndFile)
{
    TempDir dir;
    ProfileFile file(dir / "a/b/Q.INI");
    EXPECT_EQ(file.GetString("S", "k", "def"), "def");
    EXPECT_FALSE(std::filesystem::exists(dir / "a"));
    ASSERT_TRUE(file.WriteString("S", "k", "v"));
    EXPECT_EQ(ReadFileBytes(file.Path()), "[S]\nk=v\n");
}

TEST(ProfileFileWrite, RefusedValueLeavesNoFileBehind)
{
    TempDir dir;
    ProfileFile file(dir / "Q.INI");
    EXPECT_FALSE(file.WriteString("S", "k", "line\n[Injected]"));
    EXPECT_FALSE(std::filesystem::exists(file.Path()));
}

// Writes through `file`, noting the reason it reports when a write fails.
struct ReasonLog {
    explicit ReasonLog(ProfileFile& file)
    {
        file.SetFailureReport([this](const std::string& reason) { reasons.push_back(reason); });
    }
    bool Told(const std::string& part) const
    {
        return !reasons.empty() && reasons.back().find(part) != std::string::npos;
    }
    std::vector<std::string> reasons;
};

TEST(ProfileFileWrite, KeepsModeAndSymbolicLink)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "real");
    const std::string target = dir / "real/Q.INI";
    WriteFileBytes(target, "[S]\nk=1\n");
    chmod(target.c_str(), 0640);
    std::filesystem::create_symlink("real/Q.INI", dir / "Q.INI");

    ProfileFile file(dir / "Q.INI");
    ASSERT_TRUE(file.WriteInt("S", "k", 2));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Q.INI"));
    EXPECT_EQ(ReadFileBytes(target), "[S]\nk=2\n");
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(ProfileFileBadFile, DirectoryFifoAndOversizedFileReadAsDefaults)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "D.INI");
    ProfileFile directory(dir / "D.INI");
    ReasonLog directoryLog(directory);
    EXPECT_EQ(directory.GetInt("S", "k", 5), 5);
    EXPECT_FALSE(directory.WriteInt("S", "k", 1));
    EXPECT_TRUE(directoryLog.Told(dir / "D.INI is not a regular file"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "D.INI"));

    ASSERT_EQ(mkfifo((dir / "F.INI").c_str(), 0600), 0);
    ProfileFile fifo(dir / "F.INI");
    ReasonLog fifoLog(fifo);
    EXPECT_EQ(fifo.GetInt("S", "k", 5), 5);  // returns at once, no writer needed
    EXPECT_FALSE(fifo.WriteInt("S", "k", 1));
    EXPECT_TRUE(fifoLog.Told("F.INI is not a regular file"));

    const std::string big = "[S]\nk=1\n" + std::string(ProfileFile::kMaxFileSize, ';');
    WriteFileBytes(dir / "B.INI", big);
    ProfileFile oversized(dir / "B.INI");
    ReasonLog oversizedLog(oversized);
    EXPECT_EQ(oversized.GetInt("S", "k", 5), 5);
    EXPECT_FALSE(oversized.WriteInt("S", "k", 2));
    EXPECT_TRUE(oversizedLog.Told("B.INI is larger than 4 MiB and was ignored"));
    EXPECT_EQ(ReadFileBytes(dir / "B.INI"), big);

    std::filesystem::create_symlink("L2.INI", dir / "L1.INI");
    std::filesystem::create_symlink("L1.INI", dir / "L2.INI");
    ProfileFile loop(dir / "L1.INI");
    ReasonLog loopLog(loop);
    EXPECT_EQ(loop.GetInt("S", "k", 5), 5);
    EXPECT_FALSE(loop.WriteInt("S", "k", 1));
    EXPECT_TRUE(loopLog.Told("cannot be opened: Too many levels of symbolic links"));
}

TEST(ProfileFileBadFile, UnreadableFileIsNeverReplaced)
{
    TempDir dir;
    const std::string path = dir / "Q.INI";
    WriteFileBytes(path, kSibling);
    chmod(path.c_str(), 0200);
    chmod(dir.Path().c_str(), 0777);
    EXPECT_TRUE(InChild([&] {
        ProfileFile file(path);
        ReasonLog log(file);
        return file.GetInt("Communication", "Port", 9) == 9 && !file.WriteInt("Communication", "Port", 3) &&
               log.Told(path + " cannot be opened: Permission denied");
    }));
    chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadFileBytes(path), kSibling);
}

TEST(ProfileFileBadFile, ReadOnlyFolderFailsCleanly)
{
    TempDir dir;
    const std::string path = dir / "Q.INI";
    WriteFileBytes(path, kSibling);
    chmod(path.c_str(), 0666);
    chmod(dir.Path().c_str(), 0555);
    EXPECT_TRUE(InChild([&] {
        ProfileFile existing(path);
        ProfileFile missing(dir / "sub/N.INI");
        ReasonLog existingLog(existing);
        ReasonLog missingLog(missing);
        return existing.GetInt("Communication", "Port", 9) == 1 && !existing.WriteInt("Communication", "Port", 3) &&
               existingLog.Told("no file can be made in " + dir.Path() + ": Permission denied") &&
               !missing.WriteInt("S", "k", 1) &&
               missingLog.Told("the folder " + (dir / "sub") + " cannot be made: Permission denied");
    }));
    EXPECT_EQ(ReadFileBytes(path), kSibling);
    EXPECT_EQ(CountTemps(dir.Path()), 0);
}

// A link is followed only into a folder that exists: folders are made for
// the file's own place, never along a link's target.
TEST(ProfileFileBadFile, DanglingLinkIntoAMissingFolderMakesNoFolder)
{
    TempDir dir;
    TempDir outside;
    const std::string missing = outside / "no/such/dir";
    std::filesystem::create_symlink(missing + "/x.ini", dir / "Q.INI");
    ProfileFile file(dir / "Q.INI");
    ReasonLog log(file);
    EXPECT_FALSE(file.WriteInt("S", "k", 1));
    EXPECT_TRUE(log.Told(dir / "Q.INI is a link to " + missing + "/x.ini, in a folder that does not exist"));
    EXPECT_FALSE(std::filesystem::exists(outside / "no"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Q.INI"));

    // Into a folder that exists the link is followed and the file made there.
    std::filesystem::remove(dir / "Q.INI");
    std::filesystem::create_symlink(outside / "x.ini", dir / "Q.INI");
    EXPECT_TRUE(file.WriteInt("S", "k", 1));
    EXPECT_EQ(ReadFileBytes(outside / "x.ini"), "[S]\nk=1\n");
}

// A writer killed at each step leaves either the old or the new file, whole;
// the next write clears what it left behind.
TEST(ProfileFileCrash, KilledAtEachStep)
{
    std::string updated = kSibling;
    updated.replace(updated.find("Port=1") + 5, 1, "2");
    for (const Step step : kAllSteps) {
        SCOPED_TRACE(static_cast<int>(step));
        TempDir dir;
        const std::string path = dir / "Q.INI";
        WriteFileBytes(path, kSibling);
        const pid_t pid = fork();
        if (pid == 0) {
            ProfileFile file(path);
            file.SetStepHook([step](Step reached) {
                if (reached == step)
                    _exit(0);
                return true;
            });
            file.WriteInt("Communication", "Port", 2);
            _exit(3);  // never reached the step
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0);
        const bool renamed = step == Step::Renamed || step == Step::FolderSynced;
        EXPECT_EQ(ReadFileBytes(path), renamed ? updated : kSibling);

        ProfileFile after(path);
        ASSERT_TRUE(after.WriteString("Communication", "Speed", "38400"));
        EXPECT_EQ(after.GetInt("Communication", "Speed", 0), 38400);
        EXPECT_EQ(after.GetString("Window", "Pos", ""), "1 2 3 4");
        EXPECT_EQ(CountTemps(dir.Path()), 0);
    }
}

// A write that fails on the way (a full disk, an I/O error) changes nothing.
TEST(ProfileFileCrash, FailureAtEachStepChangesNothing)
{
    for (const Step step : kAllSteps) {
        if (step == Step::Renamed || step == Step::FolderSynced)
            continue;
        SCOPED_TRACE(static_cast<int>(step));
        TempDir dir;
        ProfileFile existing(dir / "Q.INI");
        WriteFileBytes(existing.Path(), kSibling);
        ProfileFile fresh(dir / "N.INI");
        auto failAt = [step](Step reached) { return reached != step; };
        existing.SetStepHook(failAt);
        fresh.SetStepHook(failAt);
        EXPECT_FALSE(existing.WriteInt("Communication", "Port", 2));
        EXPECT_FALSE(fresh.WriteInt("Communication", "Port", 2));
        EXPECT_EQ(ReadFileBytes(existing.Path()), kSibling);
        EXPECT_FALSE(std::filesystem::exists(fresh.Path()));
        EXPECT_EQ(CountTemps(dir.Path()), 0);
    }
}

// Two processes writing different keys at the same time lose neither.
TEST(ProfileFileConcurrency, ConcurrentWritersLoseNoUpdate)
{
    TempDir dir;
    const std::string path = dir / "Q.INI";
    WriteFileBytes(path, kSibling);
    constexpr int kWrites = 25;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        if (children[c] == 0) {
            ProfileFile file(path);
            for (int i = 1; i <= kWrites; ++i) {
                if (!file.WriteInt("Race", "Writer" + std::to_string(c), i))
                    _exit(1);
            }
            _exit(0);
        }
    }
    for (const pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ProfileFile file(path);
    EXPECT_EQ(file.GetInt("Race", "Writer0", 0), kWrites);
    EXPECT_EQ(file.GetInt("Race", "Writer1", 0), kWrites);
    EXPECT_EQ(file.GetString("Camera", "Quality", ""), "Fine");
}

TEST(ProfileFilePath, FollowsXdgConfigHome)
{
    {
        test::ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg/conf");
        EXPECT_EQ(SettingsFilePath(), "/xdg/conf/QUIVRAN.INI");
    }
    test::ScopedEnv home("HOME", "/home/someone");
    for (const std::optional<std::string>& unusable : {std::optional<std::string>(), std::optional<std::string>(""),
                                                      std::optional<std::string>("relative/dir")}) {
        test::ScopedEnv xdg("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/QUIVRAN.INI");
    }
}

} // namespace
} // namespace oskel
