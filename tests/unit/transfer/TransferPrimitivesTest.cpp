// The verified camera steps: free memory, erase, file transfer.
#include "unit/transfer/TransferRig.h"

#include "res/StringIds.h"
#include "ui/MessageBox.h"

#include <cstdio>
#include <filesystem>

namespace oskel::test {
namespace {

using namespace ui;
using emulator::FaultKind;

class TransferPrimitivesTest : public TransferTest {
protected:
    void StartWithTwo()
    {
        StoreInCamera(App("A1.FNC"));
        StoreInCamera(App("A2.FNC"));
        Start();
    }
    // Uploads file as the catalog's next program, recording it on success.
    int Upload(const std::string& file, int size)
    {
        char name[12] = {};
        std::snprintf(name, sizeof name, "%-8s%s", file.substr(0, file.find('.')).c_str(), file.substr(file.find('.') + 1).c_str());
        return transfer->UploadFile(file, name, size, nullptr);
    }
    const Box kUnreadable{res::IDS_FILE_UNREADABLE, MB_ICONEXCLAMATION | MB_OK};
    const Box kFull{res::IDS_CAMERA_MEMORY_FULL, MB_ICONEXCLAMATION | MB_OK};
    const Box kIncomplete{res::IDS_UPLOAD_INCOMPLETE, MB_ICONEXCLAMATION | MB_OK};
};

TEST_F(TransferPrimitivesTest, EraseIsVerifiedByTheProgramCount)
{
    struct Case {
        const char* what;
        FaultKind fault;
        int times;
        bool erased;
        int deletes;
    } cases[] = {
        {"count does not drop", FaultKind::CountUnchangedAfterErase, 1, false, 1},
        {"second call succeeds", FaultKind::FailErase, 1, true, 2},
        {"both calls refused", FaultKind::FailErase, 2, false, 2},
        // The end signal is lost but the program went: no second call, which
        // would erase the program that moved into the slot.
        {"end signal lost", FaultKind::NoEnqAfterErase, 1, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartWithTwo();
        AddFault(c.fault, 1, c.times);
        EXPECT_EQ(transfer->EraseAt(1), c.erased);
        EXPECT_EQ(Erases(), c.deletes);
        EXPECT_EQ(StoredNames().size(), c.erased ? 1u : 2u);
        if (c.erased)
            catalog->ForgetCameraSlot(1);
        EXPECT_TRUE(Boxes().empty());
        Restart();
    }
}

TEST_F(TransferPrimitivesTest, FreeMemoryMustHoldTheFilePlusTheReserve)
{
    for (const int spare : {0, -1}) {
        SCOPED_TRACE(spare);
        config.capacityBytes = static_cast<uint32_t>(700 + 4096 + spare);
        AddFile(App("P.FNC", "0100", 700));
        Start();
        const int status = Upload("P.FNC", 700);
        if (spare == 0) {
            EXPECT_EQ(status, CProgramTransfer::kUploaded);
            EXPECT_TRUE(Boxes().empty());
            catalog->AddCameraRecord(*ProgramCatalog::FolderEntryAt(catalog->FolderList(), 0), nullptr);
        } else {
            EXPECT_EQ(status, CProgramTransfer::kNoMemory);
            EXPECT_EQ(Boxes(), std::vector<Box>{kFull});
        }
        Restart();
    }
}

TEST_F(TransferPrimitivesTest, EachFailureIsShownOnceWithItsStatus)
{
    enum Arrange { kNothing, kRemoveFile, kNoFreeMemory, kLoseUpload };
    struct Case {
        const char* what;
        Arrange arrange;
        int size;
        int status;
        Box box;
    } cases[] = {
        {"empty file", kNothing, 0, CProgramTransfer::kFileUnreadable, kUnreadable},
        {"vanished file", kRemoveFile, 700, CProgramTransfer::kFileUnreadable, kUnreadable},
        {"no free-memory reading", kNoFreeMemory, 700, CProgramTransfer::kNoMemory, kFull},
        {"count unchanged", kLoseUpload, 700, CProgramTransfer::kRefused, kIncomplete},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AddFile(App("P.FNC", "0100", 700));
        Start();
        if (c.arrange == kRemoveFile)
            std::filesystem::remove(dir / "programs/P.FNC");
        if (c.arrange == kNoFreeMemory)
            connection->failFreeMemory = true;
        if (c.arrange == kLoseUpload)
            AddFault(FaultKind::CountUnchangedAfterUpload);
        EXPECT_EQ(Upload("P.FNC", c.size), c.status);
        EXPECT_EQ(Boxes(), std::vector<Box>{c.box});
        EXPECT_TRUE(StoredNames().empty());
        Restart();
    }
}

} // namespace
} // namespace oskel::test
