// Remove against the in-process camera; every test ends with the catalog in
// step with the camera's store (TransferTest::TearDown).
#include "unit/transfer/TransferRig.h"

#include "res/StringIds.h"
#include "ui/MessageBox.h"

namespace oskel::test {
namespace {

using namespace ui;
using emulator::FaultKind;

ProgramSpec Spec(const std::string& file, const char* kind, const char* id = "0000")
{
    return {file, kind, id, "0100", "0000", "", 500};
}

class RemoveTest : public TransferTest {
protected:
    const Box kConfirm{res::IDS_CONFIRM_ERASE, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2};
};

TEST_F(RemoveTest, NoToTheConfirmationContactsNoCamera)
{
    StoreInCamera(Spec("A1.FNC", "0003"));
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
        StoreInCamera(Spec("ATTA.ATC", "0005", "0021"));
        StoreInCamera(Spec("A1.FNC", "0003"));
        StoreInCamera(Spec("ATTB.ATC", "0005", "0021"));
        StoreInCamera(Spec("HOST.FNC", "0004", "0021"));
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
        StoreInCamera(Spec(f, "0003"));
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
    StoreInCamera(Spec("HOST.FNC", "0004", "0021"));
    StoreInCamera(Spec("A1.FNC", "0003"));
    StoreInCamera(Spec("DATA.DAT", "0007"));
    Start();
    SelectCamera({"A1.FNC"});
    frontEnd->Answer(IDYES);
    transfer->RemoveSelected();
    EXPECT_EQ(Boxes(), std::vector<Box>{kConfirm});
    EXPECT_TRUE(StoredNames().empty());
    EXPECT_EQ(catalog->cameraCount, 0);
    EXPECT_EQ(catalog->applicationCount, 0);
}

TEST_F(RemoveTest, AnAttachmentWithoutARecordedHostIsErasedAndStillReported)
{
    StoreInCamera(Spec("ATTA.ATC", "0005", "0021"));
    StoreInCamera(Spec("A1.FNC", "0003"));
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
    StoreInCamera(Spec("A1.FNC", "0003"));
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
