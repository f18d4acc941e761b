#include "res/StringTable.h"
#include "support/TestFrontEnd.h"
#include "ui/MessageBox.h"
#include "ui/ModifierKeys.h"
#include "ui/WaitCursor.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace oskel {
namespace {

using test::TestFrontEnd;

TEST(StringTable, LooksUpEveryEntryById)
{
    const auto& all = res::AllStrings();
    ASSERT_FALSE(all.empty());
    for (size_t i = 0; i < all.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(all[i - 1].first, all[i].first) << "ids must ascend for the lookup";
        }
        EXPECT_EQ(res::FindString(all[i].first), all[i].second) << all[i].first;
    }
    EXPECT_EQ(res::FindString(1499), std::nullopt);
    EXPECT_EQ(res::FindString(2002), std::nullopt);
    EXPECT_EQ(res::LoadString(9999), "");
}

TEST(StringTable, FormatsTakeTheirArguments)
{
    char text[128];
    std::snprintf(text, sizeof text, res::LoadString(res::IDS_PORT_NAME).c_str(), 10);
    EXPECT_STREQ(text, "COM10");
    std::snprintf(text, sizeof text, res::LoadString(res::IDS_UPLOADING).c_str(), "Clock", 2, 3);
    EXPECT_STREQ(text, "Uploading \"Clock\" (2 of 3)");
    std::snprintf(text, sizeof text, res::LoadString(res::IDS_BROWSE_FAILED).c_str(), 0x80004005u);
    EXPECT_STREQ(text, "Unexpected error -- failed to create browse dialog.\nCODE: 80004005");
    EXPECT_EQ(res::LoadString(res::IDS_ENTER_PROMPT) + "New Folder" + res::LoadString(res::IDS_PROMPT_COLON),
              "Enter New Folder:");
}

TEST(MessageBoxById, ShowsTheTableTextWithItsHelpId)
{
    TestFrontEnd ui;
    ui.Answer(ui::IDCANCEL);
    EXPECT_EQ(ui::AfxMessageBox(res::IDS_BATTERY_LOW, ui::MB_ICONEXCLAMATION | ui::MB_OKCANCEL), ui::IDCANCEL);
    EXPECT_EQ(ui::AfxMessageBox(res::IDS_CONFIRM_ERASE, ui::MB_ICONQUESTION | ui::MB_YESNO | ui::MB_DEFBUTTON2, 77),
              ui::IDYES);
    EXPECT_EQ(ui::AfxMessageBox("free text"), ui::IDOK);
    ASSERT_EQ(ui.Boxes().size(), 3u);
    EXPECT_EQ(ui.Boxes()[0].text, res::LoadString(1600));
    EXPECT_EQ(ui.Boxes()[0].type, 0x31u);
    EXPECT_EQ(ui.Boxes()[0].helpId, 1600u);
    EXPECT_EQ(ui.Boxes()[1].text, "Are you sure you want to erase the selected programs?");
    EXPECT_EQ(ui.Boxes()[1].type, 0x124u);
    EXPECT_EQ(ui.Boxes()[1].helpId, 77u);
    EXPECT_EQ(ui.Boxes()[2].helpId, 0u);
    EXPECT_EQ(ui.UnscriptedBoxes(), 2);
}

TEST(WaitCursor, ScopedCursorEndsOnEveryWayOut)
{
    TestFrontEnd ui;
    try {
        ui::CWaitCursor outer;
        {
            ui::CWaitCursor inner;
            EXPECT_EQ(ui.WaitCursorDepth(), 2);
        }
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(ui.WaitCursorBegins(), 2);
    EXPECT_EQ(ui.WaitCursorDepth(), 0);
}

TEST(ModifierKeys, ChordNeedsEveryKey)
{
    {
        TestFrontEnd ui;
        ui.SetModifiers(ui::kModShift | ui::kModCtrl);
        EXPECT_TRUE(ui::AreModifiersHeld(ui::kModShift | ui::kModCtrl));
        EXPECT_FALSE(ui::AreModifiersHeld(ui::kModShift | ui::kModCtrl | ui::kModAlt));
        EXPECT_FALSE(ui::AreModifiersHeld(0));
    }
    // Without a front end no key is ever held and the cursor calls do nothing.
    EXPECT_FALSE(ui::AreModifiersHeld(ui::kModShift));
    ui::CWaitCursor harmless;
}

} // namespace
} // namespace oskel
