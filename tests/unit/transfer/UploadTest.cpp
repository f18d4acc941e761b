// UPLOAD against the in-process camera: capacity, existing programs, hosts,
// failures and cancel. Every test ends with the catalog, both lists and the
// camera's store in step (TransferTest::TearDown).
#include "unit/transfer/TransferRig.h"

#include "res/StringIds.h"
#include "ui/MessageBox.h"

#include <algorithm>

namespace oskel::test {
namespace {

using namespace ui;
using emulator::FaultKind;

class UploadTest : public TransferTest {};

TEST_F(UploadTest, TheCapacityIsCountedBeforeTheCameraIsContacted)
{
    const std::vector<ProgramDesc> threeNew = {App("B1.FNC"), App("B2.FNC"), App("B3.FNC")};
    const std::vector<ProgramDesc> hostAndTwo = {Host("HOST.FNC", "0021"), Attachment("ATTA.ATC", "0021"),
                                                 Attachment("ATTB.ATC", "0021")};
    std::vector<ProgramDesc> sixAttachments = {Host("HOST.FNC", "0021")};
    std::vector<std::string> six;
    for (int i = 1; i <= 6; ++i) {
        six.push_back("ATT" + std::to_string(i) + ".ATC");
        sixAttachments.push_back(Attachment(six.back(), "0021"));
    }
    struct Case {
        const char* what;
        std::vector<ProgramDesc> camera, folder;
        std::vector<std::string> selection;
        std::vector<Box> boxes;
        size_t stored; // programs in the camera afterwards
    } cases[] = {
        {"three new beside three", {App("A1.FNC"), App("A2.FNC"), App("A3.FNC")}, threeNew,
         {"B1.FNC", "B2.FNC", "B3.FNC"}, {{res::IDS_TOO_MANY_APPS, MB_ICONEXCLAMATION}}, 3},
        {"one of them stored already", {App("A1.FNC"), App("A2.FNC"), App("B1.FNC")}, threeNew,
         {"B1.FNC", "B2.FNC", "B3.FNC"}, {{res::IDS_UP_TO_DATE, MB_ICONINFORMATION | MB_OKCANCEL}}, 5},
        {"a missing host counts once", {App("A1.FNC"), App("A2.FNC"), App("A3.FNC"), App("A4.FNC")}, hostAndTwo,
         {"ATTA.ATC", "ATTB.ATC"}, {}, 7},
        {"six attachments", {}, sixAttachments, six, {{res::IDS_TOO_MANY_ATTACHMENTS, MB_ICONEXCLAMATION}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const ProgramDesc& p : c.camera)
            StoreInCamera(p);
        for (const ProgramDesc& p : c.folder)
            AddFile(p);
        Start();
        SelectFolder(c.selection);
        const int64_t packets = PacketsIn();
        transfer->UploadSelected();
        EXPECT_EQ(Boxes(), c.boxes);
        EXPECT_EQ(StoredNames().size(), c.stored);
        if (!c.boxes.empty() && c.boxes[0].style == MB_ICONEXCLAMATION) {
            EXPECT_EQ(PacketsIn(), packets);
            EXPECT_TRUE(views.empty());
            EXPECT_NE(frontEnd->Boxes()[0].text.find("only 5 "), std::string::npos);
        }
        Restart();
    }
}

// --- Programs already in the camera ---------------------------------------

TEST_F(UploadTest, AMultiCopyAttachmentIsStoredAgainUnderACopyName)
{
    StoreInCamera(Host("HOST.FNC", "0021"));
    StoreInCamera(Attachment("STAMP.ATC", "0021", "0001"));
    AddFile(Attachment("STAMP.ATC", "0021", "0001"));
    Start();
    SelectFolder({"STAMP.ATC"});
    transfer->UploadSelected();
    transfer->UploadSelected();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"HOST    FNC", "STAMP   ATC", "STAMP2  ATC", "STAMP3  ATC"}));
    EXPECT_EQ(CameraTexts(), (std::vector<std::string>{"STAMP.ATC", "STAMP.ATC", "STAMP.ATC"}));
}

TEST_F(UploadTest, ASingleCopyAttachmentIsSkippedAndCancelEndsTheRun)
{
    StoreInCamera(Host("HOST.FNC", "0021"));
    StoreInCamera(Attachment("ATTA.ATC", "0021"));
    AddFile(Attachment("ATTA.ATC", "0021"));
    AddFile(App("ZAPP.FNC"));
    Start();
    SelectFolder({"ATTA.ATC", "ZAPP.FNC"});
    frontEnd->Answer(IDCANCEL);
    transfer->UploadSelected();
    EXPECT_EQ(Boxes(), (std::vector<Box>{{res::IDS_ALREADY_IN_CAMERA, MB_ICONINFORMATION | MB_OKCANCEL}}));
    EXPECT_EQ(frontEnd->Boxes()[0].text, "\"ATTA.ATC\" skipped; it is already in the camera.");
    EXPECT_EQ(StoredNames().size(), 2u);
}

// The old version (600 bytes) is erased and the new one (800 bytes) stored
// when the old one's space plus the free memory holds the new file plus 4096.
TEST_F(UploadTest, AnUpdateGoesAheadAtTheExactMemoryBoundaryAndNotOneByteBelow)
{
    for (const int spare : {0, -1}) {
        SCOPED_TRACE(spare);
        if (spare == -1)
            Restart();
        config.capacityBytes = static_cast<uint32_t>(800 + 4096 + spare);
        StoreInCamera(App("CLOCK.FNC", "0100"));
        AddFile(App("CLOCK.FNC", "0101", 800));
        Start();
        SelectFolder({"CLOCK.FNC"});
        frontEnd->Answer(IDYES);
        transfer->UploadSelected();
        if (spare == 0) {
            EXPECT_EQ(Boxes(), (std::vector<Box>{{res::IDS_OLDER_VERSION, MB_ICONQUESTION | MB_YESNO}}));
            ASSERT_EQ(camera->Programs().Count(), 1);
            EXPECT_EQ(camera->Programs().At(1)->data.size(), 800u);
        } else {
            EXPECT_EQ(Boxes(), (std::vector<Box>{{res::IDS_OLDER_VERSION, MB_ICONQUESTION | MB_YESNO},
                                                 {res::IDS_CAMERA_MEMORY_FULL, MB_ICONEXCLAMATION | MB_OK}}));
            ASSERT_EQ(camera->Programs().Count(), 1);
            EXPECT_EQ(camera->Programs().At(1)->data.size(), 600u);
        }
    }
}

// --- Hosts ------------------------------------------------------------------

// A host left out of the folder list for its long name is named, with a
// name to give it, instead of being called missing.
TEST_F(UploadTest, AMissingHostNamesTheAttachmentsFileAndTheRunGoesOn)
{
    struct Case {
        const char* hostFile; // none: no host file
        Box box;
        std::string text;
    } cases[] = {
        {nullptr, {res::IDS_HOST_FILE_MISSING, MB_OK},
         "\"NOHOST.ATC\" cannot be uploaded because it requires a file that is missing."},
        {"FRAMESHOST.FNC", {res::IDS_HOST_FILE_UNNAMED, MB_ICONEXCLAMATION | MB_OK},
         "\"NOHOST.ATC\" cannot be uploaded because the file it requires, \"FRAMESHOST.FNC\", has a name "
         "longer than the camera takes (8 characters, a dot and 3 characters).  Rename it, for example to "
         "\"FRAMESHO.FNC\"."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box.id);
        AddFile({"NOHOST.ATC", "0005", "0030", "0100", "0000", "Orphan Frame", 600});
        AddFile(App("ZAPP.FNC"));
        if (c.hostFile != nullptr)
            AddFile(Host(c.hostFile, "0030"));
        Start();
        SelectFolder({"Orphan Frame", "ZAPP.FNC"});
        transfer->UploadSelected();
        EXPECT_EQ(Boxes(), std::vector<Box>{c.box});
        EXPECT_EQ(frontEnd->Boxes()[0].text.rfind(c.text, 0), 0u) << frontEnd->Boxes()[0].text;
        EXPECT_EQ(StoredNames(), (std::vector<std::string>{"ZAPP    FNC"}));
        Restart();
    }
}

TEST_F(UploadTest, AHostSentForAnAttachmentThatThenFailsIsErasedAgain)
{
    AddFile(Host("HOST.FNC", "0021"));
    AddFile(Attachment("ATTA.ATC", "0021"));
    Start();
    SelectFolder({"ATTA.ATC"});
    AddFault(FaultKind::CountUnchangedAfterUpload, 2); // the attachment
    transfer->UploadSelected();
    EXPECT_EQ(Boxes(), (std::vector<Box>{{res::IDS_UPLOAD_INCOMPLETE, MB_ICONEXCLAMATION | MB_OK}}));
    EXPECT_TRUE(StoredNames().empty());
    EXPECT_EQ(catalog->appIds[0x21].cameraHostSlot, 0);
    EXPECT_EQ(Erases(), 1);
}

// A failed attachment takes back the host sent for it only while no other
// attachment of its id is in the camera and the host was not an update.
TEST_F(UploadTest, TheRollBackKeepsAnUpdatedHostAndOneThatAttachmentsNeed)
{
    struct Case {
        const char* what;
        std::vector<ProgramDesc> camera;
        std::vector<std::string> stored;
    } cases[] = {
        {"an attachment needs it",
         {App("CLOCK.FNC"), Host("HOST.FNC", "0021", "0100"), Attachment("ATTA.ATC", "0021")},
         {"CLOCK   FNC", "ATTA    ATC", "HOST    FNC"}},
        {"it was an update", {Host("HOST.FNC", "0021", "0100")}, {"HOST    FNC"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const ProgramDesc& p : c.camera)
            StoreInCamera(p);
        AddFile(Host("HOST.FNC", "0021", "0200"));
        AddFile(Attachment("ATTB.ATC", "0021"));
        Start();
        SelectFolder({"ATTB.ATC"});
        AddFault(FaultKind::CountUnchangedAfterUpload, 2); // the attachment
        frontEnd->Answer(IDYES);
        transfer->UploadSelected();
        EXPECT_EQ(Boxes(), (std::vector<Box>{{res::IDS_OLDER_VERSION, MB_ICONQUESTION | MB_YESNOCANCEL},
                                             {res::IDS_UPLOAD_INCOMPLETE, MB_ICONEXCLAMATION | MB_OK}}));
        EXPECT_EQ(StoredNames(), c.stored);
        const ProgramInfoRecord* newest = catalog->RecordAt(catalog->cameraCount);
        ASSERT_NE(newest, nullptr);
        EXPECT_EQ(newest->Version(), 0x0200);
        Restart();
    }
}

// Yes to the update question after Cancel was pressed while it was open:
// the old version stays and nothing is sent.
TEST_F(UploadTest, CancelPressedWhileAnUpdateQuestionIsOpenErasesNothing)
{
    struct Case {
        const char* what;
        std::vector<ProgramDesc> camera, folder;
        std::string selection;
    } cases[] = {
        {"a program", {App("CLOCK.FNC", "0100")}, {App("CLOCK.FNC", "0101")}, "CLOCK.FNC"},
        {"a host", {Host("HOST.FNC", "0021", "0100"), Attachment("ATTA.ATC", "0021")},
         {Host("HOST.FNC", "0021", "0200"), Attachment("ATTB.ATC", "0021")}, "ATTB.ATC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const ProgramDesc& p : c.camera)
            StoreInCamera(p);
        for (const ProgramDesc& p : c.folder)
            AddFile(p);
        Start();
        SelectFolder({c.selection});
        frontEnd->whileOpen = [this](const std::string&, unsigned id) {
            if (id == res::IDS_OLDER_VERSION)
                views.back()->PressCancel();
        };
        frontEnd->Answer(IDYES);
        const std::vector<std::string> before = StoredNames();
        transfer->UploadSelected();
        EXPECT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(StoredNames(), before);
        EXPECT_EQ(Erases(), 0);
        EXPECT_EQ(camera->Faults().Count(emulator::FaultEvent::Upload), 0);
        Restart();
    }
}

// An older host is offered for update, always with Cancel; an up-to-date
// host passes without a word.
TEST_F(UploadTest, AStoredHostIsUpdatedOnlyWhenOlder)
{
    for (const char* version : {"0102", "0100"}) {
        SCOPED_TRACE(version);
        StoreInCamera(Host("HOST.FNC", "0021", "0100"));
        AddFile(Host("HOST.FNC", "0021", version));
        AddFile(Attachment("ATTA.ATC", "0021"));
        Start();
        SelectFolder({"ATTA.ATC"});
        frontEnd->Answer(IDYES);
        transfer->UploadSelected();
        const bool older = std::string(version) == "0102";
        const std::vector<Box> expected = {{res::IDS_OLDER_VERSION, MB_ICONQUESTION | MB_YESNOCANCEL}};
        EXPECT_EQ(Boxes(), older ? expected : std::vector<Box>{});
        EXPECT_EQ(StoredNames(), (std::vector<std::string>{"HOST    FNC", "ATTA    ATC"}));
        EXPECT_EQ(catalog->RecordAt(1)->Version(), older ? 0x0102 : 0x0100);
        Restart();
    }
}

// --- Failures and cancel ----------------------------------------------------

TEST_F(UploadTest, AFailedTransferAsksToContinueOnlyWhileItemsRemain)
{
    struct Case {
        std::vector<std::string> selection;
        int answer; // to 1700, 0 when none is expected
        std::vector<std::string> stored;
    } cases[] = {
        {{"A1.FNC", "A2.FNC"}, IDYES, {"A2      FNC"}},
        {{"A1.FNC", "A2.FNC"}, IDNO, {}},
        {{"A1.FNC"}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selection.size());
        AddFile(App("A1.FNC"));
        AddFile(App("A2.FNC"));
        Start();
        SelectFolder(c.selection);
        AddFault(FaultKind::CountUnchangedAfterUpload);
        std::vector<Box> expected = {{res::IDS_UPLOAD_INCOMPLETE, MB_ICONEXCLAMATION | MB_OK}};
        if (c.answer != 0) {
            frontEnd->Answer(IDOK);
            frontEnd->Answer(c.answer);
            expected.push_back({res::IDS_CONTINUE_REMAINING, MB_ICONQUESTION | MB_YESNO});
        }
        transfer->UploadSelected();
        EXPECT_EQ(Boxes(), expected);
        EXPECT_EQ(StoredNames(), c.stored);
        Restart();
    }
}

TEST_F(UploadTest, CancelDuringTheSecondOfThreeFilesEndsTheRunSilently)
{
    for (const char* f : {"A1.FNC", "A2.FNC", "A3.FNC"})
        AddFile(App(f, "0100", 5000));
    Start();
    SelectFolder({"A1.FNC", "A2.FNC", "A3.FNC"});
    pump.onPump = [this] {
        if (views.back()->Message().find("(2 of 3)") != std::string::npos && views.back()->BarPos() > 40)
            views.back()->PressCancel();
    };
    transfer->UploadSelected();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"A1      FNC"}));
    EXPECT_EQ(CameraTexts(), (std::vector<std::string>{"A1.FNC"}));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_FALSE(views[0]->Exists());
    EXPECT_TRUE(owner.enabled);
}

TEST_F(UploadTest, TheProgressWindowShowsEachItemAndMovesTheBarInOrderToTheEnd)
{
    AddFile(Host("HOST.FNC", "0021"));
    AddFile({"ATTA.ATC", "0005", "0021", "0100", "0000", "Frame: Classic", 600});
    AddFile({"CLOCK.FNC", "0003", "0000", "0100", "0000", "World Clock", 3000});
    Start();
    SelectFolder({"Frame: Classic", "World Clock"});
    bool ownerDisabledDuring = false;
    pump.onPump = [&] { ownerDisabledDuring = !owner.enabled; };
    transfer->UploadSelected();
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(views.size(), 1u);
    const ui::RecordedProgressView& view = *views[0];
    EXPECT_EQ(view.Caption(), "Upload Programs");
    EXPECT_EQ(view.Messages(), (std::vector<std::string>{"Message", "Uploading \"Frame: Classic\" (1 of 2)",
                                                         "Uploading \"World Clock\" (2 of 2)"}));
    EXPECT_TRUE(std::is_sorted(view.Positions().begin(), view.Positions().end()));
    EXPECT_EQ(view.Positions().back(), 100);
    EXPECT_TRUE(ownerDisabledDuring);
    EXPECT_TRUE(owner.enabled);
    EXPECT_FALSE(view.Exists());
    EXPECT_EQ(view.Stats().totalBytes, 3000);
    EXPECT_EQ(view.Stats().bytesSent, 3000);
    EXPECT_EQ(view.Stats().lineSpeed, connection->GetSpeed());
    EXPECT_GT(view.Stats().elapsedMs, 0u);
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"HOST    FNC", "ATTA    ATC", "CLOCK   FNC"}));
}

// The camera list was read without its count: it is read again before the
// upload, which then stores once and says so; a count that still cannot be
// read refuses the upload before anything is sent.
TEST_F(UploadTest, AnUnknownProgramCountIsReadAgainBeforeAnUpload)
{
    for (const int failedCounts : {1, 1000}) {
        SCOPED_TRACE(failedCounts);
        StoreInCamera(App("A1.FNC"));
        AddFile(App("CLOCK.FNC"));
        Start({failedCounts, 0});
        ASSERT_EQ(catalog->cameraCount, -1);
        SelectFolder({"CLOCK.FNC"});
        transfer->UploadSelected();
        transfer->UploadSelected();
        if (failedCounts == 1) {
            EXPECT_EQ(Boxes(), (std::vector<Box>{{res::IDS_UP_TO_DATE, MB_ICONINFORMATION | MB_OK}}));
            EXPECT_EQ(StoredNames(), (std::vector<std::string>{"A1      FNC", "CLOCK   FNC"}));
        } else {
            const Box refused{res::IDS_UPLOAD_INCOMPLETE, MB_ICONEXCLAMATION | MB_OK};
            EXPECT_EQ(Boxes(), (std::vector<Box>{refused, refused}));
            EXPECT_EQ(StoredNames(), (std::vector<std::string>{"A1      FNC"}));
            EXPECT_EQ(camera->Faults().Count(emulator::FaultEvent::Upload), 0);
            ReadCameraAgain();
        }
        Restart();
    }
}

// A record that could not be read (twice) may be the very program chosen, or
// the host an attachment needs: nothing is stored, each item says why.
TEST_F(UploadTest, NothingIsStoredBesideARecordThatCouldNotBeRead)
{
    StoreInCamera(App("A1.FNC"));
    StoreInCamera(App("CLOCK.FNC"));
    AddFile(App("CLOCK.FNC"));
    AddFile(App("B1.FNC"));
    Start({0, 2});
    ASSERT_EQ(catalog->UnreadSlots(), std::vector<int>{2});
    SelectFolder({"CLOCK.FNC", "B1.FNC"});
    frontEnd->Answer(IDOK);
    transfer->UploadSelected();
    const Box refused{res::IDS_UNREAD_RECORDS_UPLOAD, MB_ICONEXCLAMATION | MB_OK};
    EXPECT_EQ(Boxes(), (std::vector<Box>{{res::IDS_UNREAD_RECORDS_UPLOAD, MB_ICONEXCLAMATION | MB_OKCANCEL}, refused}));
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"A1      FNC", "CLOCK   FNC"}));
    ReadCameraAgain();
}

// The figures beside the bar count a piece once the camera acknowledged it,
// so the rate they give never passes what the line carries (10 bits a byte).
TEST_F(UploadTest, TheShownRateNeverPassesTheLineRate)
{
    AddFile(App("BIG.FNC", "0100", 20000));
    Start();
    SelectFolder({"BIG.FNC"});
    std::vector<ui::TransferStats> shown;
    pump.onPump = [&] { shown.push_back(views.back()->Stats()); };
    transfer->UploadSelected();
    ASSERT_GT(shown.size(), 5u);
    for (const ui::TransferStats& s : shown) {
        ASSERT_GT(s.lineSpeed, 0);
        EXPECT_LE(s.bytesSent * 1000 * 10, int64_t{s.lineSpeed} * s.elapsedMs)
            << s.bytesSent << " bytes in " << s.elapsedMs << " ms at " << s.lineSpeed;
    }
    EXPECT_EQ(views.back()->Stats().bytesSent, 20000);
}

// An About arriving while a file is sent still gets the camera: no caller
// holds the holder across its own work.
TEST_F(UploadTest, TheHolderIsFreeWhileAFileIsSent)
{
    AddFile(App("A1.FNC"));
    Start();
    SelectFolder({"A1.FNC"});
    int steps = 0;
    pump.onPump = [&] {
        ++steps;
        EXPECT_FALSE(holder->InUse());
    };
    transfer->UploadSelected();
    EXPECT_GT(steps, 0);
    CameraLease lease(*holder);
    ASSERT_TRUE(lease);
    EXPECT_FALSE(holder->InUse());
    EXPECT_EQ(holder->Acquire(), lease.get());
    holder->Release();
}

// Most faults are absorbed by the retries; a long silence inside a data
// packet is not, and then only that item fails (1501, then 1700, answered
// Yes). Either way the catalog follows the camera (checked by Restart).
TEST_F(UploadTest, RandomLineFaultsLeaveTheCatalogInStepWithTheCamera)
{
    int faults = 0;
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        for (const char* f : {"A1.FNC", "A2.FNC", "A3.FNC"})
            AddFile(App(f, "0100", 2500));
        AddFile(Host("HOST.FNC", "0021"));
        AddFile(Attachment("ATTA.ATC", "0021"));
        Start();
        SelectFolder({"A1.FNC", "A2.FNC", "A3.FNC", "ATTA.ATC"});
        camera->SetLog([&](const std::string& text) { faults += text.find("fault") != std::string::npos; });
        camera->Faults().SetRandom(seed, 60);
        transfer->UploadSelected();
        int failed = 0;
        for (const Box& box : Boxes()) {
            failed += box.id == res::IDS_UPLOAD_INCOMPLETE;
            EXPECT_TRUE(box.id == res::IDS_UPLOAD_INCOMPLETE || box.id == res::IDS_CONTINUE_REMAINING) << box;
        }
        if (failed == 0) {
            EXPECT_EQ(StoredNames().size(), 5u);
        }
        Restart();
    }
    EXPECT_GE(faults, 10);
}

} // namespace
} // namespace oskel::test
