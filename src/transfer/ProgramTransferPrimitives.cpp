// The verified camera steps of upload and removal: free memory, erase and
// file transfer. None of them touches the catalog; the callers do.
#include "transfer/ProgramTransfer.h"

#include "camera/CameraHolder.h"
#include "programs/ProgramCatalog.h"
#include "res/StringIds.h"
#include "transfer/UploadSource.h"
#include "ui/MessageBox.h"

namespace oskel {

namespace {
constexpr int kAttempts = 2;

void ShowFailure(unsigned id)
{
    ui::AfxMessageBox(id, ui::MB_ICONEXCLAMATION | ui::MB_OK);
}
} // namespace

CProgramTransfer::CProgramTransfer(CCameraHolder& holder, ProgramCatalog& catalog, ui::ListModel& folderList,
                                   ui::ListModel& cameraList, ProgramTransferHooks hooks)
    : m_holder(holder), m_catalog(catalog), m_folderList(folderList), m_cameraList(cameraList),
      m_hooks(std::move(hooks))
{
}

int CProgramTransfer::ReadFreeMemory()
{
    CCameraConnection& camera = m_holder.Connection();
    int free = -1;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        free = camera.GetFreeMemory(0);
        camera.CheckAlive(1);
        if (free >= 0)
            break;
    }
    return free;
}

bool CProgramTransfer::ReadCameraAgain()
{
    return m_catalog.RefreshCameraList(&m_cameraList);
}

int CProgramTransfer::CountAfterChange()
{
    // A count that cannot be read says nothing about the change: ask again
    // once the link has been checked, rather than take the camera's store
    // for unchanged when it may have changed.
    CCameraConnection& camera = m_holder.Connection();
    int count = camera.GetProgramCount();
    if (count < 0 && camera.CheckAlive(1))
        count = camera.GetProgramCount();
    return count;
}

bool CProgramTransfer::EraseAt(int slot)
{
    CCameraConnection& camera = m_holder.Connection();
    if (!camera.CheckAlive(1))
        return false;
    const int count = camera.GetProgramCount();
    if (count <= 0)
        return false;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (camera.DeleteProgram(slot))
            break;
        // A failed call may still have erased (its end signal was lost): a
        // second call would then erase the program that moved into the slot.
        const int now = CountAfterChange();
        if (now != count)
            return now == count - 1;
        if (attempt + 1 == kAttempts)
            return false;
    }
    return CountAfterChange() == count - 1;
}

int CProgramTransfer::UploadFile(const std::string& fileName, const char* cameraName, int size, CProgressSink* sink)
{
    UploadSource source(m_catalog.folderPath + fileName, sink);
    if (size <= 0) {
        ShowFailure(res::IDS_FILE_UNREADABLE);
        return kFileUnreadable;
    }
    const int free = ReadFreeMemory();
    if (static_cast<int64_t>(free) - kMemoryReserve < size) {
        ShowFailure(res::IDS_CAMERA_MEMORY_FULL);
        return kNoMemory;
    }
    source.SetTotalBytes(size);

    CCameraConnection& camera = m_holder.Connection();
    const int countBefore = m_catalog.cameraCount;
    const bool ok = camera.CheckAlive(1) && camera.UploadProgram(cameraName, &source);
    if (ok) {
        // The camera took the program once its count grew: that is what the
        // catalog must follow, whatever closing the file said.
        if (CountAfterChange() == countBefore + 1)
            return kUploaded;
        ShowFailure(res::IDS_UPLOAD_INCOMPLETE);
        return kRefused;
    }
    switch (const int status = source.Status()) {
    case 0:
        ShowFailure(res::IDS_UPLOAD_INCOMPLETE);
        return kRefused;
    case kCancelled:
        return kCancelled;
    case kFileUnreadable:
        ShowFailure(res::IDS_FILE_UNREADABLE);
        return kFileUnreadable;
    default:
        ShowFailure(res::IDS_UPLOAD_INCOMPLETE);
        return status;
    }
}

} // namespace oskel
