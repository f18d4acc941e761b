// Remove against the in-process camera; every test ends with the catalog in
// step with the camera's store (TransferTest::TearDown).
#include "unit/transfer/TransferRig.h"

#include "res/StringIds.h"
#include "ui/MessageBox.h"

namespace oskel::test {
namespace {

using namespace ui;
using emulator::FaultKind;

class RemoveTest : public TransferTest {
protected:
    const Box kConfirm{res::IDS_CONFIRM_ERASE, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2};
};

TEST_F(RemoveTest, NoToTheConfirmationContactsNoCamera)
{
    StoreInCamera(App("A1.FNC"));
    Start();
    SelectCamera({"A1.FNC"});
    frontEnd->Answer(IDNO);
    const int64_t packets = PacketsIn();
    transfer->RemoveSelected();
    EXPECT_EQ(Boxes(), std::vector<Box>{kConfirm});
    EXPECT_EQ(PacketsIn(), packets);
    EXPECT_EQ(StoredNames().size(), 1u);
}

TEST_F(RemoveTest, TheLastAttachmentTakesItsHostAlong)
{
    struct Case {
        std::vector<std::string> selection;
        std::vector<std::string> left;
        int erases;
    } cases[] = {
        {{"ATTA.ATC"}, {"A1      FNC", "ATTB    ATC", "HOST    FNC"}, 1},
        {{"ATTA.ATC", "ATTB.ATC"}, {"A1      FNC"}, 3}, // the host once
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selection.size());
        StoreInCamera(Attachment("ATTA.ATC", "0021"));
        StoreInCamera(App("A1.FNC"));
        StoreInCamera(Attachment("ATTB.ATC", "0021"));
        StoreInCamera(Host("HOST.FNC", "0021"));
        Start();
        SelectCamera(c.selection);
        frontEnd->Answer(IDYES);
        transfer->RemoveSelected();
        EXPECT_EQ(Boxes(), std::vector<Box>{kConfirm});
        EXPECT_EQ(StoredNames(), c.left);
        EXPECT_EQ(Erases(), c.erases);
        EXPECT_EQ(frontEnd->WaitCursorDepth(), 0);
        EXPECT_GT(frontEnd->WaitCursorBegins(), 0);
        EXPECT_EQ(removeRuleCalls, 1);
        Restart();
    }
}

TEST_F(RemoveTest, AnEraseThatFailsTwiceKeepsItsItemAndOffersCancelWhileItemsRemain)
{
    for (const char* f : {"A1.FNC", "A2.FNC", "A3.FNC", "A4.FNC"})
        StoreInCamera(App(f));
    Start();
    SelectCamera({"A1.FNC", "A3.FNC", "A4.FNC"});
    AddFault(FaultKind::FailErase, 2, 2); // both attempts at slot 3
    frontEnd->Answer(IDYES);
    frontEnd->Answer(IDOK);
    transfer->RemoveSelected();
    EXPECT_EQ(Boxes(), (std::vector<Box>{kConfirm, {res::IDS_ERASE_FAILED, MB_ICONEXCLAMATION | MB_OKCANCEL}}));
    EXPECT_EQ(frontEnd->Boxes()[1].text, "Program file \"A3.FNC\" (or one of its components) could not be erased.");
    EXPECT_EQ(CameraTexts(), (std::vector<std::string>{"A2.FNC", "A3.FNC"}));
    EXPECT_EQ(Erases(), 4);
}

TEST_F(RemoveTest, AnEmptiedListTakesEveryLeftoverProgramAlong)
{
    StoreInCamera(Host("HOST.FNC", "0021"));
    StoreInCamera(App("A1.FNC"));
    StoreInCamera({"DATA.DAT", "0007", "0000", "0100", "0000", "", 600});
    Start();
    SelectCamera({"A1.FNC"});
    frontEnd->Answer(IDYES);
    transfer->RemoveSelected();
    EXPECT_EQ(Boxes(), std::vector<Box>{kConfirm});
    EXPECT_TRUE(StoredNames().empty());
    EXPECT_EQ(catalog->cameraCount, 0);
    EXPECT_EQ(catalog->applicationCount, 0);
}

// Nobody knows what a slot whose record could not be read holds: the sweep
// of an emptied list passes it over, and still takes the hosts.
TEST_F(RemoveTest, TheLeftoverSweepPassesOverAnUnreadSlotAndKeepsEveryHost)
{
    StoreInCamera({"CLOCK.FNC", "0003", "0000", "0100", "0000", "World Clock", 600});
    StoreInCamera({"SLIDE.FNC", "0003", "0000", "0100", "0000", "Slide Show", 600});
    StoreInCamera(Host("HOST.FNC", "0021"));
    Start({0, 2});
    SelectCamera({"World Clock"});
    frontEnd->Answer(IDYES);
    transfer->RemoveSelected();
    EXPECT_EQ(Boxes(), std::vector<Box>{kConfirm});
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"SLIDE   FNC", "HOST    FNC"}))
        << "the unread slot may be an attachment that needs the host";
    ReadCameraAgain();
    EXPECT_EQ(CameraTexts(), (std::vector<std::string>{"Slide Show"}));
}

// A list read without the camera's count shows nothing to choose: Remove
// reads the camera again and erases nothing, not even what the fresh list
// leaves unshown.
TEST_F(RemoveTest, AnUnknownProgramCountIsReadAgainAndNothingIsErased)
{
    StoreInCamera(Host("HOST.FNC", "0021"));
    Start({1, 0});
    ASSERT_EQ(catalog->cameraCount, -1);
    frontEnd->Answer(IDYES);
    transfer->RemoveSelected();
    EXPECT_EQ(Boxes(), std::vector<Box>{kConfirm});
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"HOST    FNC"}));
    EXPECT_EQ(catalog->cameraCount, 1);
    EXPECT_EQ(removeRuleCalls, 1);
}

TEST_F(RemoveTest, AnAttachmentWithoutARecordedHostIsErasedAndStillReported)
{
    StoreInCamera(Attachment("ATTA.ATC", "0021"));
    StoreInCamera(App("A1.FNC"));
    Start();
    SelectCamera({"ATTA.ATC"});
    frontEnd->Answer(IDYES);
    frontEnd->Answer(IDOK);
    transfer->RemoveSelected();
    EXPECT_EQ(Boxes(), (std::vector<Box>{kConfirm, {res::IDS_ERASE_FAILED, MB_ICONEXCLAMATION | MB_OK}}));
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"A1      FNC"}));
}

TEST_F(RemoveTest, ALowBatteryAnsweredWithCancelErasesNothing)
{
    config.battery = 5;
    StoreInCamera(App("A1.FNC"));
    Start();
    SelectCamera({"A1.FNC"});
    frontEnd->Answer(IDYES);
    frontEnd->Answer(IDCANCEL);
    transfer->RemoveSelected();
    EXPECT_EQ(Boxes(), (std::vector<Box>{kConfirm, {res::IDS_BATTERY_LOW, MB_ICONEXCLAMATION | MB_OKCANCEL}}));
    EXPECT_EQ(Erases(), 0);
}

} // namespace
} // namespace oskel::test
