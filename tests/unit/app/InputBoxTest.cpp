#include "app/DlgFolderName.h"
#include "app/DlgInputBox.h"
#include "support/TestFrontEnd.h"
#include "unit/app/DialogScripts.h"

#include <gtest/gtest.h>

namespace oskel::test {
namespace {

class InputBoxTest : public ::testing::Test {
protected:
    TestFrontEnd frontEnd;
    InputBoxScript script;
    FakeOwner owner;
};

TEST_F(InputBoxTest, PromptIsGivenOrMadeFromTheCaption)
{
    CDlgInputBox made(&owner, "New Folder");
    CDlgInputBox given(nullptr, "New Folder", "Enter name for subfolder of /tmp:");
    made.m_strValue = "preset";
    EXPECT_EQ(made.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(given.DoModal(), ui::IDCANCEL);

    ASSERT_EQ(script.runs.size(), 2u);
    EXPECT_EQ(script.runs[0].prompt, "Enter New Folder:");
    EXPECT_EQ(script.runs[0].caption, "New Folder");
    EXPECT_EQ(script.runs[0].preset, "preset");
    EXPECT_EQ(script.runs[0].owner, &owner);
    EXPECT_TRUE(script.runs[0].centred);
    EXPECT_EQ(script.runs[1].prompt, "Enter name for subfolder of /tmp:");
}

TEST_F(InputBoxTest, OkReturnsTheTextEvenWhenEmpty)
{
    for (const std::string text : {"Holiday 1997", ""}) {
        script.typed = {text};
        CDlgInputBox box(&owner, "Name");
        EXPECT_EQ(box.DoModal(), ui::IDOK);
        EXPECT_EQ(box.m_strValue, text);
    }
}

TEST_F(InputBoxTest, TriggerWordShowsTheReplyAndKeepsTheBoxOpen)
{
    script.typed = {"#credits please", "#credit", std::nullopt};
    CDlgInputBox box(&owner, "Name");
    EXPECT_EQ(box.DoModal(), ui::IDOK);
    EXPECT_EQ(box.m_strValue, "#credit"); // seven characters are no trigger
    ASSERT_EQ(script.runs[0].fieldAfterOK.size(), 1u);
    EXPECT_EQ(script.runs[0].fieldAfterOK[0], "OSKEL Program Uploader, Linux port");
}

TEST_F(InputBoxTest, FolderNameWithAForbiddenCharacterIsRefusedAndTheBoxStaysOpen)
{
    script.typed = {"a:b", "ab"};
    CDlgFolderName box(&owner, "New Folder");
    EXPECT_EQ(box.DoModal(), ui::IDOK);
    EXPECT_EQ(box.m_strValue, "ab");
    ASSERT_EQ(frontEnd.Boxes().size(), 1u);
    EXPECT_EQ(frontEnd.Boxes()[0].text,
              "A folder name may not contain any of the following characters:\n\t\\/:*?\"<>|");
    EXPECT_EQ(frontEnd.Boxes()[0].type, ui::MB_OK);
    EXPECT_EQ(script.runs[0].focus, CDlgInputBox::IDC_VALUE);
}

TEST(FolderName, EachForbiddenCharacterAndNulAreRefused)
{
    for (const char c : std::string("\\/:*?\"<>|") + '\0')
        EXPECT_FALSE(CDlgFolderName::IsValidName(std::string("x") + c + "y")) << int(c);
    EXPECT_TRUE(CDlgFolderName::IsValidName("Übung #2 (draft).d"));
}

} // namespace
} // namespace oskel::test
