#include "app/SettingsStore.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace oskel {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(SettingsStore, UsesTheSettingsFileOfThisUser)
{
    TempDir dir;
    test::ScopedEnv xdg("XDG_CONFIG_HOME", dir.Path());
    CSettingsStore store;
    EXPECT_EQ(store.ProfileName(), dir / "QUIVRAN.INI");
    EXPECT_EQ(store.GetProfileInt("Communication", "Port", 1073741824), 1073741824);
    EXPECT_EQ(store.GetProfileString("UploadDialog", "OPFFolder", "/cwd/"), "/cwd/");
    ASSERT_TRUE(store.WriteProfileInt("Communication", "Port", 1073741825));
    ASSERT_TRUE(store.WriteProfileInt("Communication", "Speed", 1073857024));
    EXPECT_EQ(ReadFileBytes(dir / "QUIVRAN.INI"), "[Communication]\nPort=1073741825\nSpeed=1073857024\n");
}

TEST(SettingsStore, SharesTheFileWithTheSibling)
{
    TempDir dir;
    const std::string sibling = "[Communication]\r\nport=2\r\nCamera=52\r\n\r\n; photo settings\r\n[Album]\r\n"
                                "Folder=C:\\Photos\r\n";
    WriteFileBytes(dir / "QUIVRAN.INI", sibling);
    CSettingsStore store(dir / "QUIVRAN.INI");
    EXPECT_EQ(store.GetProfileInt("COMMUNICATION", "Port", 0), 2);
    ASSERT_TRUE(store.WriteProfileString("UploadDialog", "OPFFolder", "/home/u/My Programs/ "));
    ASSERT_TRUE(store.WriteProfileString("UploadDialog", "AppPosition", "4 5 640 480 1"));
    EXPECT_EQ(ReadFileBytes(dir / "QUIVRAN.INI"),
              sibling + "\r\n[UploadDialog]\r\nOPFFolder=\"/home/u/My Programs/ \"\r\nAppPosition=4 5 640 480 1\r\n");
    EXPECT_EQ(store.GetProfileString("UploadDialog", "OPFFolder"), "/home/u/My Programs/ ");
    EXPECT_EQ(store.GetProfileString("Album", "Folder"), "C:\\Photos");
}

TEST(SettingsStore, FailedWriteIsReported)
{
    TempDir dir;
    WriteFileBytes(dir / "blocker", "not a folder");
    CSettingsStore store(dir / "blocker/QUIVRAN.INI");
    std::vector<std::string> lines;
    store.SetSaveFailureReport([&](const std::string& line) { lines.push_back(line); });
    EXPECT_FALSE(store.WriteProfileInt("Communication", "Port", 1));
    EXPECT_FALSE(store.File().WriteInt("Communication", "Speed", 19200)) << "as the connection writes";
    EXPECT_EQ(store.GetProfileInt("Communication", "Port", 7), 7);
    // One line for the one reason.
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "The settings could not be saved: " + (dir / "blocker") + " is not a folder");
}

} // namespace
} // namespace oskel
