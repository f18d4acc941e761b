// The folder and camera catalogs against a real folder and the in-process
// camera: what is kept, what is listed, item data, the id table, and the
// bookkeeping after uploads and erasures.
#include "programs/CameraName.h"
#include "programs/ProgramCatalog.h"
#include "ui/TextMeasurer.h"
#include "unit/programs/CatalogRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <string>
#include <vector>

namespace oskel::test {
namespace {

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::vector<std::string> Texts(const ui::ListModel& list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetCount(); ++i)
        texts.push_back(list.GetText(i));
    return texts;
}

std::vector<intptr_t> Data(const ui::ListModel& list)
{
    std::vector<intptr_t> data;
    for (int i = 0; i < list.GetCount(); ++i)
        data.push_back(list.GetItemData(i));
    return data;
}

emulator::StoredProgram Stored(const std::string& fileName, const std::string& kind, const std::string& appId,
                               const std::string& display)
{
    emulator::StoredProgram p;
    emulator::CameraNameFromFileName(fileName, &p.name);
    p.data = ProgramBytes(kind, appId, display);
    return p;
}

class FolderCatalogTest : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) { WriteFileBytes(folder / name, AsText(bytes)); }

    void WriteMixedFolder()
    {
        Write("CLOCK.FNC", ProgramBytes("0003", "0000", "Clock"));
        Write("clock.fnc", ProgramBytes("0003", "0000", "Clock"));
        Write("frameA.atc", ProgramBytes("0005", "0021", "Frame A"));
        Write("HOST.FNC", ProgramBytes("0004", "0021", "Host"));
        Write("KIND7.FNC", ProgramBytes("0007", "0000", "Seven"));
        Write("BAD.FNC", ProgramBytes("0003", "00G0", "Bad"));
        Write("PLAIN.FNC", ProgramBytes("0003", "0000", "Plain", "0100", "0000", 200, "KAVRA~"));
        Write("TOOLONGNAME.FNC", ProgramBytes("0003", "0000", "Long"));
        Write("Caf\xE9.fnc", ProgramBytes("0003", "0000", "Caf\xE9 au lait"));
        Write("notes.txt", ProgramBytes("0003", "0000", "Text"));
        std::filesystem::create_directory(folder / "dir.fnc");
        mkfifo((folder / "pipe.fnc").c_str(), 0600); // must not hang the scan
    }

    std::vector<std::string> EntryNames() const
    {
        std::vector<std::string> names;
        for (const auto& e : rig.catalog.folderEntries)
            names.push_back(e->fileName);
        std::sort(names.begin(), names.end());
        return names;
    }

    CatalogRig rig;
    TempDir folder;
};

TEST_F(FolderCatalogTest, KeepsEveryValidFileAndListsStandalonesAndAttachments)
{
    WriteMixedFolder();
    std::vector<bool> uploadHook;
    rig.catalog.SetEnableHooks({[&](bool on) { uploadHook.push_back(on); }, nullptr});
    ui::ListModel& list = rig.catalog.FolderList();
    ASSERT_TRUE(rig.catalog.RefreshFolderList(&list, folder.Path()));

    EXPECT_EQ(rig.catalog.folderPath, folder.Path() + "/");
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"CLOCK.FNC", "Caf\xE9.fnc", "HOST.FNC", "KIND7.FNC",
                                                      "clock.fnc", "frameA.atc"}));
    EXPECT_EQ(rig.catalog.unnamedFiles, std::vector<std::string>{"TOOLONGNAME.FNC"});
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"Caf\xC3\xA9 au lait", "Clock", "Clock", "Frame A"}));
    for (int i = 0; i < list.GetCount(); ++i) {
        const FolderEntry* entry = ProgramCatalog::FolderEntryAt(list, i);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->DisplayText(), list.GetText(i));
        EXPECT_EQ(entry->fileSize, 200);
    }
    EXPECT_EQ(ProgramCatalog::FolderEntryAt(list, 0)->FileNameText(), "Caf\xC3\xA9.fnc");
    const FolderEntry* host = rig.catalog.appIds[0x21].folderHost;
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->fileName, "HOST.FNC");
    EXPECT_EQ(list.GetHorizontalExtent(), 12 + 4); // "Café au lait" in characters
    EXPECT_EQ(uploadHook, std::vector<bool>{false});
    list.SetSel(1, true);
    rig.catalog.EnableUploadByFolderSelection();
    EXPECT_EQ(uploadHook, (std::vector<bool>{false, true}));
}

TEST_F(FolderCatalogTest, SignatureFollowsTheCameraFamily)
{
    Write("PLUS.FNC", ProgramBytes("0003", "0000", "Plus"));
    Write("PLAIN.FNC", ProgramBytes("0003", "0000", "Plain", "0100", "0000", 200, "KAVRA~"));
    for (const auto& [model, shown] : {std::pair{"SR82 camera", "Plus"}, std::pair{"SR52 camera", "Plain"}}) {
        emulator::CameraConfig config;
        config.modelText = model;
        CatalogRig camera(config);
        ASSERT_TRUE(camera.catalog.RefreshFolderList(&camera.catalog.FolderList(), folder.Path() + "/"));
        EXPECT_EQ(Texts(camera.catalog.FolderList()), std::vector<std::string>{shown}) << model;
    }
}

TEST_F(FolderCatalogTest, LaterHostWithTheSameIdWinsAndARescanForgetsTheOld)
{
    Write("HOSTA.FNC", ProgramBytes("0004", "0002", "Host A"));
    Write("HOSTB.FNC", ProgramBytes("0004", "0002", "Host B"));
    ASSERT_TRUE(rig.catalog.RefreshFolderList(&rig.catalog.FolderList(), folder.Path()));
    ASSERT_EQ(rig.catalog.folderEntries.size(), 2u);
    EXPECT_EQ(rig.catalog.appIds[2].folderHost, rig.catalog.folderEntries[1].get()); // the later in scan order

    TempDir empty;
    ASSERT_TRUE(rig.catalog.RefreshFolderList(&rig.catalog.FolderList(), empty.Path()));
    EXPECT_TRUE(rig.catalog.folderEntries.empty());
    EXPECT_EQ(rig.catalog.appIds[2].folderHost, nullptr);
    ASSERT_TRUE(rig.catalog.RefreshFolderList(&rig.catalog.FolderList(), folder / "missing"));
    EXPECT_TRUE(rig.catalog.folderEntries.empty());
}

// A host file left out for its name is still known by its id, so that an
// attachment needing it can say which file to rename, and to what.
TEST_F(FolderCatalogTest, AHostLeftOutForItsNameIsKnownByItsId)
{
    Write("FRAMESHOST.FNC", ProgramBytes("0004", "0021", "Frames"));
    Write("LONGSTANDALONE.FNC", ProgramBytes("0003", "0022", "Clock"));
    ASSERT_TRUE(rig.catalog.RefreshFolderList(&rig.catalog.FolderList(), folder.Path()));
    EXPECT_EQ(rig.catalog.appIds[0x21].folderHost, nullptr);
    EXPECT_EQ(rig.catalog.UnnamedHostFile(0x21), "FRAMESHOST.FNC");
    EXPECT_EQ(rig.catalog.UnnamedHostFile(0x22), "");
    EXPECT_EQ(rig.catalog.UnnamedHostFile(-1), "");
    EXPECT_EQ(ShortenedFileName("FRAMESHOST.FNC"), "FRAMESHO.FNC");
    EXPECT_EQ(ShortenedFileName("ABCDEFG\xC3\xA9X.fnc"), "ABCDEFG.fnc"); // never inside a character
    EXPECT_EQ(ShortenedFileName(".fnc"), "HOST.fnc");

    TempDir empty;
    ASSERT_TRUE(rig.catalog.RefreshFolderList(&rig.catalog.FolderList(), empty.Path()));
    EXPECT_EQ(rig.catalog.UnnamedHostFile(0x21), "");
}

TEST_F(FolderCatalogTest, NoListOrNoCameraChangesNothing)
{
    WriteMixedFolder();
    rig.camera.Programs().Add(Stored("P.FNC", "0003", "0000", "P").name, ProgramBytes("0003", "0000", "P"));
    ProgramCatalog& catalog = rig.catalog;
    ASSERT_TRUE(catalog.RefreshFolderList(&catalog.FolderList(), folder.Path()));
    ASSERT_TRUE(catalog.RefreshCameraList(&catalog.CameraList()));
    EXPECT_FALSE(catalog.RefreshFolderList(nullptr, folder.Path()));
    EXPECT_FALSE(catalog.RefreshCameraList(nullptr));

    ASSERT_NE(rig.holder.Acquire(), nullptr); // held: the next Acquire is refused
    TempDir empty;
    EXPECT_FALSE(catalog.RefreshFolderList(&catalog.FolderList(), empty.Path()));
    EXPECT_FALSE(catalog.RefreshCameraList(&catalog.CameraList()));
    EXPECT_EQ(catalog.FolderList().GetCount(), 4);
    EXPECT_EQ(catalog.folderEntries.size(), 6u);
    EXPECT_EQ(catalog.CameraList().GetCount(), 1);
    EXPECT_EQ(catalog.cameraCount, 1);
    rig.holder.Release();
}

class CameraCatalogTest : public ::testing::Test {
protected:
    // Slots 1..4: an attachment of id 2, its host, a standalone application,
    // another attachment of id 2.
    static emulator::CameraConfig FourPrograms()
    {
        emulator::CameraConfig config;
        config.programs = {Stored("ATTA.ATC", "0005", "0002", "Att A"), Stored("HOST.FNC", "0004", "0002", "Host"),
                           Stored("CLOCK.FNC", "0003", "0000", "Clock"), Stored("ATTB.ATC", "0005", "0002", "Att B")};
        return config;
    }
};

TEST_F(CameraCatalogTest, ReadsEverySlotAndListsWithSlotMinusIndex)
{
    CatalogRig rig(FourPrograms());
    std::vector<bool> removeHook;
    rig.catalog.SetEnableHooks({nullptr, [&](bool on) { removeHook.push_back(on); }});
    ASSERT_TRUE(rig.catalog.RefreshCameraList(&rig.catalog.CameraList()));
    const ui::ListModel& list = rig.catalog.CameraList();
    EXPECT_EQ(rig.catalog.cameraCount, 4);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"Att A", "Clock", "Att B"}));
    EXPECT_EQ(Data(list), (std::vector<intptr_t>{1, 2, 2}));
    EXPECT_EQ(rig.catalog.applicationCount, 2);
    EXPECT_EQ(rig.catalog.appIds[2].cameraHostSlot, 2);
    EXPECT_EQ(rig.catalog.appIds[2].attachmentCount, 2);
    EXPECT_EQ(rig.catalog.RecordAt(3)->StoredSize(), 200u);
    EXPECT_EQ(removeHook, std::vector<bool>{false});
}

TEST_F(CameraCatalogTest, ForgettingASlotKeepsItemDataAndHostSlotsInStep)
{
    struct Case {
        int slot;
        std::vector<std::string> texts;
        std::vector<intptr_t> data;
        int hostSlot;
        int attachments;
        int applications;
    };
    const std::vector<Case> cases = {
        {2, {"Att A", "Clock", "Att B"}, {1, 1, 1}, 0, 2, 1}, // the hidden host
        {1, {"Clock", "Att B"}, {2, 2}, 1, 1, 2},             // a shown attachment
        {3, {"Att A", "Att B"}, {1, 2}, 2, 2, 1},             // the standalone application
        {4, {"Att A", "Clock"}, {1, 2}, 2, 1, 2},             // the last slot
    };
    for (const Case& c : cases) {
        CatalogRig rig(FourPrograms());
        ASSERT_TRUE(rig.catalog.RefreshCameraList(&rig.catalog.CameraList()));
        for (int outside : {0, -1, 5})
            EXPECT_FALSE(rig.catalog.ForgetCameraSlot(outside)) << outside;
        ASSERT_TRUE(rig.catalog.ForgetCameraSlot(c.slot));
        SCOPED_TRACE("slot " + std::to_string(c.slot));
        EXPECT_EQ(Texts(rig.catalog.CameraList()), c.texts);
        EXPECT_EQ(Data(rig.catalog.CameraList()), c.data);
        EXPECT_EQ(rig.catalog.appIds[2].cameraHostSlot, c.hostSlot);
        EXPECT_EQ(rig.catalog.appIds[2].attachmentCount, c.attachments);
        EXPECT_EQ(rig.catalog.applicationCount, c.applications);
        EXPECT_EQ(rig.catalog.cameraCount, 3);
    }
}

TEST_F(CameraCatalogTest, UnreadableRecordStaysAZeroRecordInItsSlot)
{
    CatalogRig rig(FourPrograms());
    rig.connection->failingSlot = 3;
    ASSERT_TRUE(rig.catalog.RefreshCameraList(&rig.catalog.CameraList()));
    EXPECT_EQ(rig.catalog.cameraCount, 4);
    EXPECT_EQ(Texts(rig.catalog.CameraList()), (std::vector<std::string>{"Att A", "Att B"}));
    EXPECT_EQ(Data(rig.catalog.CameraList()), (std::vector<intptr_t>{1, 3}));
    EXPECT_EQ(rig.catalog.applicationCount, 1);
    const char zeroName[kCameraNameSize] = {};
    EXPECT_EQ(rig.catalog.FindInCamera(zeroName), -1);
    ASSERT_TRUE(rig.catalog.ForgetCameraSlot(3));
    EXPECT_EQ(Data(rig.catalog.CameraList()), (std::vector<intptr_t>{1, 2}));
}

TEST_F(CameraCatalogTest, FailedOrGarbledCountGivesNoSlotsAndANewRecordTakesSlotOne)
{
    for (int count : {-1, 0x7FFFFFFF}) {
        CatalogRig rig(FourPrograms());
        rig.connection->countOverride = count;
        ASSERT_TRUE(rig.catalog.RefreshCameraList(&rig.catalog.CameraList()));
        EXPECT_EQ(rig.catalog.cameraCount, -1);
        EXPECT_EQ(rig.catalog.CameraList().GetCount(), 0);
        const FolderEntry entry = EntryOf("NEW.FNC", ProgramBytes("0003", "0000", "New"));
        EXPECT_EQ(rig.catalog.AddCameraRecord(entry, nullptr), 1);
        EXPECT_EQ(Data(rig.catalog.CameraList()), std::vector<intptr_t>{1});
    }
}

TEST_F(CameraCatalogTest, AddedRecordsAreFoundNewestFirstWithoutRegardToCase)
{
    CatalogRig rig(FourPrograms());
    ASSERT_TRUE(rig.catalog.RefreshCameraList(&rig.catalog.CameraList()));
    const FolderEntry host = EntryOf("HOST.FNC", ProgramBytes("0004", "0009", "Host 9"));
    const FolderEntry clock = EntryOf("clock.fnc", ProgramBytes("0003", "0000", "Clock 2"));
    EXPECT_EQ(rig.catalog.AddCameraRecord(host, nullptr), 5);
    EXPECT_EQ(rig.catalog.AddCameraRecord(clock, nullptr), 6);
    EXPECT_EQ(rig.catalog.appIds[9].cameraHostSlot, 5);
    EXPECT_EQ(rig.catalog.applicationCount, 4);
    EXPECT_EQ(Texts(rig.catalog.CameraList()), (std::vector<std::string>{"Att A", "Clock", "Att B", "Clock 2"}));
    EXPECT_EQ(Data(rig.catalog.CameraList()).back(), 6 - 3);
    EXPECT_EQ(rig.catalog.FindInCamera("CLOCK   FNC"), 6);
    EXPECT_EQ(rig.catalog.FindInCamera("host    fnc"), 5);
    EXPECT_EQ(rig.catalog.FindInCamera("NONE    FNC"), -1);
    // Forgetting the older CLOCK finds the newer one at its new slot.
    ASSERT_TRUE(rig.catalog.ForgetCameraSlot(3));
    EXPECT_EQ(rig.catalog.FindInCamera("clock   fnc"), 5);
    EXPECT_EQ(rig.catalog.appIds[9].cameraHostSlot, 4);
}

TEST(ProgramCatalog, AppIdTableGrowsOnDemandKeepingEntries)
{
    CatalogRig rig;
    std::vector<AppIdEntry>& ids = rig.catalog.appIds;
    ids[7].attachmentCount = 3;
    for (const auto& [id, size] : {std::pair{4103, 4104u}, std::pair{5000, 5001u}, std::pair{-3, 5001u}}) {
        rig.catalog.EnsureAppId(id);
        EXPECT_EQ(ids.size(), size) << id;
    }
    EXPECT_EQ(ids[7].attachmentCount, 3);
}

TEST(ProgramCatalog, FitListWidthTakesTheWidestItemPlusFour)
{
    struct Pixels : ui::ITextMeasurer {
        int TextWidth(std::string_view text) const override { return 7 * static_cast<int>(text.size()); }
    } pixels;
    ui::ListModel list;
    ProgramCatalog::FitListWidth(&list);
    EXPECT_EQ(list.GetHorizontalExtent(), 4);
    list.SetTextMeasurer(&pixels);
    list.AddString("abc");
    list.AddString("abcdef");
    ProgramCatalog::FitListWidth(&list);
    EXPECT_EQ(list.GetHorizontalExtent(), 46);
    ProgramCatalog::FitListWidth(nullptr);
}

} // namespace
} // namespace oskel::test
