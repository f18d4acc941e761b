#include "app/DlgChooseFolder.h"
#include "support/TempDir.h"
#include "support/TestFrontEnd.h"
#include "unit/app/DialogScripts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <tuple>
#include <unistd.h>

namespace oskel::test {
namespace {

namespace fs = std::filesystem;
using Action = BrowserScript::Action;

struct VersionPlatform : PlatformInfo {
    PlatformVersion version{true, kPlatformWin32NT, 6, true};
    PlatformVersion Query() override { return version; }
};

class ChooseFolderTest : public ::testing::Test {
protected:
    ChooseFolderTest() { fs::create_directory(dir / "Programs"); }

    std::unique_ptr<CDlgChooseFolder> Chooser(const std::string& initial)
    {
        auto chooser = std::make_unique<CDlgChooseFolder>(&owner, initial, 6, platform);
        chooser->m_strPrompt = "Choose a folder where application files may be found:";
        return chooser;
    }

    TempDir dir;
    VersionPlatform platform;
    TestFrontEnd frontEnd;
    InputBoxScript names;
    BrowserScript browser;
    FakeOwner owner;
};

TEST_F(ChooseFolderTest, InitialFolderIsNormalisedOrReplacedByTheRoot)
{
    const std::string programs = dir / "Programs";
    const struct {
        std::string initial, opened;
    } cases[] = {
        {programs + "/", programs},
        {programs, programs},
        {"/", "/"},
        {dir / "Missing/", "/"},
        {"", "/"},
        {programs + std::string(300, '/'), "/"}, // names the folder, but does not fit
    };
    for (const auto& c : cases) {
        browser.runs.clear();
        browser.steps = {{Action::Cancel, {}}};
        EXPECT_EQ(Chooser(c.initial)->DoModal(browser), ui::IDCANCEL);
        ASSERT_EQ(browser.runs.size(), 1u);
        EXPECT_EQ(browser.runs[0].selections, std::vector<std::string>{c.opened}) << c.initial;
        EXPECT_EQ(browser.runs[0].title, "Choose a folder where application files may be found:");
        EXPECT_EQ(browser.runs[0].owner, &owner);
    }
}

TEST_F(ChooseFolderTest, VariantAndFlagsFollowThePlatform)
{
    const struct {
        bool posix;
        int major;
        bool tree;
    } cases[] = {{true, 6, true}, {false, 4, true}, {false, 5, false}, {false, 3, false}};
    for (const auto& c : cases) {
        platform.version = {true, kPlatformWin32NT, c.major, c.posix};
        const auto chooser = Chooser("");
        EXPECT_EQ(chooser->m_bShellBrowser != 0, c.tree) << c.major;
        const unsigned classic = CDlgChooseFolder::OFN_ENABLETEMPLATE;
        EXPECT_EQ(chooser->Flags(), 6u | CDlgChooseFolder::OFN_LONGNAMES | (c.tree ? 0u : classic));
    }
}

TEST_F(ChooseFolderTest, ResultWithAndWithoutTrailingSeparatorInBothVariants)
{
    for (const int major : {4, 5}) {
        platform.version = {true, kPlatformWin32NT, major, false};
        for (const auto& [chosen, with, without] : {std::tuple<std::string, std::string, std::string>{
                                                        "/data/Programs", "/data/Programs/", "/data/Programs"},
                                                    {"/", "/", "/"}}) {
            browser.steps = {{Action::Select, chosen}, {Action::OK, {}}};
            const auto chooser = Chooser("");
            ASSERT_EQ(chooser->DoModal(browser), ui::IDOK);
            EXPECT_EQ(chooser->GetFolder(true), with) << major;
            EXPECT_EQ(chooser->GetFolder(false), without) << major;
        }
    }
}

TEST_F(ChooseFolderTest, CreateFolderReportsEachFailureWithItsMessage)
{
    fs::create_directory(dir / "Locked");
    fs::permissions(dir / "Locked", fs::perms::owner_read | fs::perms::owner_exec);
    const bool root = geteuid() == 0; // permissions do not stop root
    const struct {
        std::string path;
        bool win32s;
        std::string message;
    } cases[] = {
        {dir / "Programs", false, "A folder by that name already exists."},
        {dir / "Missing/Sub", false,
         "Could not create " + (dir / "Missing/Sub") +
             ".  Make sure the parent folder is not read-only and that it has enough space for a new folder."},
        {dir / "Missing/Sub", true,
         "Could not create " + (dir / "Missing/Sub") + ".  Make sure the folder name is a valid DOS name."},
        {dir / std::string(300, 'n'), false, "The folder name is too long, could not create it."},
        {root ? std::string() : dir / "Locked/Sub", false,
         "Could not create " + (dir / "Locked/Sub") +
             ".  Make sure the parent folder is not read-only and that it has enough space for a new folder."},
    };
    for (const auto& c : cases) {
        if (c.path.empty())
            continue;
        platform.version = c.win32s ? PlatformVersion{true, kPlatformWin32s, 3, false}
                               : PlatformVersion{true, kPlatformWin32NT, 6, true};
        const size_t before = frontEnd.Boxes().size();
        EXPECT_EQ(Chooser("")->CreateFolder(c.path), 0);
        ASSERT_EQ(frontEnd.Boxes().size(), before + 1);
        EXPECT_EQ(frontEnd.Boxes().back().text, c.message);
        EXPECT_EQ(frontEnd.Boxes().back().type, ui::MB_OK);
    }
    EXPECT_FALSE(fs::exists(dir / "Locked/Sub"));
    EXPECT_EQ(Chooser("")->CreateFolder(dir / "Fresh"), 1);
    EXPECT_TRUE(fs::is_directory(dir / "Fresh"));
}

TEST_F(ChooseFolderTest, NewFolderAsksForANameThenReopensTheBrowserAtTheNewFolder)
{
    const std::string deep = dir / "Programs/a very long folder name indeed";
    fs::create_directory(deep);
    names.typed = {"a:b", "Games"};
    browser.steps = {{Action::Select, deep}, {Action::NewFolder, {}}, {Action::OK, {}}};
    const auto chooser = Chooser(dir / "Programs/");
    ASSERT_EQ(chooser->DoModal(browser), ui::IDOK);

    EXPECT_TRUE(fs::is_directory(deep + "/Games"));
    EXPECT_EQ(browser.created, std::vector<std::string>{deep + "/Games"});
    ASSERT_EQ(names.runs.size(), 1u);
    EXPECT_EQ(names.runs[0].caption, "New Folder");
    EXPECT_EQ(names.runs[0].owner, &browser.window);
    EXPECT_EQ(names.runs[0].prompt, "Enter name for subfolder of .../a very long folder name indeed:");
    ASSERT_EQ(browser.runs.size(), 2u);
    EXPECT_EQ(browser.runs[1].selections, std::vector<std::string>{deep + "/Games"});
    EXPECT_EQ(chooser->GetFolder(true), deep + "/Games/");
}

TEST_F(ChooseFolderTest, NewFolderCancelledEmptyOrExistingCreatesNothingAndKeepsTheBrowserOpen)
{
    const std::string programs = dir / "Programs";
    fs::create_directory(programs + "/Old");
    names.typed = {std::nullopt, "", "Old"};
    browser.steps = {{Action::NewFolder, {}}, {Action::NewFolder, {}}, {Action::NewFolder, {}}, {Action::Cancel, {}}};
    EXPECT_EQ(Chooser(programs)->DoModal(browser), ui::IDCANCEL);
    EXPECT_EQ(browser.runs.size(), 1u);
    EXPECT_EQ(names.runs.size(), 3u);
    EXPECT_TRUE(browser.created.empty());
    ASSERT_EQ(frontEnd.Boxes().size(), 1u);
    EXPECT_EQ(frontEnd.Boxes()[0].text, "A folder by that name already exists.");
    EXPECT_EQ(std::distance(fs::directory_iterator(programs), fs::directory_iterator()), 1);
}

TEST_F(ChooseFolderTest, BrowserThatCannotOpenGivesMessage4727AndCancelWithoutLooping)
{
    for (const bool unprepared : {true, false}) {
        browser.runs.clear();
        browser.prepareCode = unprepared ? ui::kNoFolderBrowser : 0;
        browser.neverOpens = !unprepared;
        EXPECT_EQ(Chooser("")->DoModal(browser), ui::IDCANCEL);
        EXPECT_EQ(browser.runs.size(), unprepared ? 0u : 1u);
        EXPECT_EQ(frontEnd.Boxes().back().text,
                  unprepared ? "Unexpected error -- failed to create browse dialog.\nCODE: 80004001"
                             : "Unexpected error -- failed to create browse dialog.\nCODE: 80004005");
        EXPECT_EQ(frontEnd.Boxes().back().type, ui::MB_OK | ui::MB_ICONHAND);
    }
    EXPECT_EQ(browser.beeps, 2);
}

} // namespace
} // namespace oskel::test
