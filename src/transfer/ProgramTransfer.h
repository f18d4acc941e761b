#pragma once

#include "ui/ListModel.h"
#include "ui/OwnerWindow.h"
#include "ui/ProgressView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace oskel {

class CCameraHolder;
class CDlgProgress;
class CProgressSink;
class ProgressPlan;
class ProgramCatalog;
struct FolderEntry;

// What the transfer operations need from the main dialog.
struct ProgramTransferHooks {
    // Owner of the progress window; disabled while that window exists. May be
    // null (no owner).
    ui::IOwnerWindow* owner = nullptr;
    // Makes the progress window of one upload run; empty: the installed
    // front end's (ui::CreateProgressView).
    std::function<std::unique_ptr<ui::IProgressView>()> makeProgressView;
    // The main dialog's rule that Remove is enabled only while at least one
    // camera item is selected; called at the end of every removal. Empty:
    // the catalog's ProgramCatalog::EnableRemoveByCameraSelection.
    std::function<void()> enableRemoveByCameraSelection;
    // While a directory record of the camera is unread, an upload stores
    // nothing (the program, or the host it brings, may be the unread one)
    // unless this is set (the command line's --force).
    bool uploadBesideUnreadRecords = false;
};

// Upload and removal of camera programs, and the verified camera steps they
// are made of. The front ends (the main dialog's UPLOAD and Remove buttons,
// the command line's upload and remove commands) select items in the two
// list models and call UploadSelected or RemoveSelected. Every question and
// failure is a message box through ui::AfxMessageBox; the progress of an
// upload is a CDlgProgress on the hooks' view. Afterwards the camera catalog
// and the camera list match the camera's store again (slot for slot), also
// after a failure or a cancel; the folder catalog and the folder list with
// its selection are never changed.
//
// The holder, catalog and both lists must outlive this object. The lists are
// the ones the catalog last refreshed (normally catalog.FolderList() and
// catalog.CameraList()): the folder list's item data are FolderEntry
// pointers, the camera list's are slot - index, and the catalog's own
// bookkeeping updates the camera list it refreshed.
class CProgramTransfer {
public:
    // Outcomes of the existing-program checks.
    enum class Check { Proceed, Skip, Stop, UpToDate, Declined };

    // Results of UploadFile.
    static constexpr int kUploaded = 0;
    static constexpr int kCancelled = 2;
    static constexpr int kFileUnreadable = 3;
    static constexpr int kNoMemory = 4;
    static constexpr int kRefused = 7;

    // Camera memory that must stay free beyond the program being uploaded.
    static constexpr int kMemoryReserve = 4096;
    static constexpr int kMaxApplications = 5;
    static constexpr int kMaxAttachments = 5;
    // Progress weight added to each file's size when the bar is shared out.
    static constexpr int kFileWeight = 10240;

    CProgramTransfer(CCameraHolder& holder, ProgramCatalog& catalog, ui::ListModel& folderList,
                     ui::ListModel& cameraList, ProgramTransferHooks hooks = {});
    CProgramTransfer(const CProgramTransfer&) = delete;
    CProgramTransfer& operator=(const CProgramTransfer&) = delete;

    // UPLOAD: copies the folder list's selected programs into the camera,
    // after the capacity check, the battery question and with the progress
    // window; hosts come along for attachments that need them.
    void UploadSelected();
    // Remove: erases the camera list's selected programs (after the
    // confirmation and the battery question), bottom-up, with their hosts
    // when the last attachment goes, and every leftover program when the
    // camera list ends up empty.
    void RemoveSelected();

    // The steps, public for the tests.
    bool CheckSelectionLimits();
    // `cameraName`: 12 bytes, may be changed to a copy name.
    Check CheckExisting(int slot, const FolderEntry& entry, char* cameraName, bool more);
    Check CheckUpdate(int slot, const FolderEntry& entry, bool more);

    // The camera's free memory in bytes (two attempts), or -1.
    int ReadFreeMemory();
    // Verified erase of one slot: true only when the program count dropped
    // by exactly one. The catalog is not touched.
    bool EraseAt(int slot);
    // Sends the folder's file `fileName` as `cameraName` (12 bytes) and
    // checks that the camera's count grew by one. Every failure but the
    // user's cancel has been shown when it returns. The catalog is not
    // touched. Returns one of the statuses above (another non-zero value is
    // a source failure, shown as 1501).
    int UploadFile(const std::string& fileName, const char* cameraName, int size, CProgressSink* sink);

private:
    enum class Next { GoOn, NextItem, End };
    Next HostStep(const FolderEntry& entry, bool more, CDlgProgress& progress, ProgressPlan& plan, bool* hostUploaded);
    Next UploadItem(const FolderEntry& entry, bool more, CDlgProgress& progress, ProgressPlan& plan);
    Next AfterFailedTransfer(int status, bool more);
    // After a check that did not proceed: Stop ends the run, else next item.
    static Next AfterCheck(Check check);
    // False, after telling the user, when unread records forbid storing entry.
    Check RefuseBesideUnreadRecords(const FolderEntry& entry, bool more);
    void ReportMissingHost(const FolderEntry& entry);
    void RollBackHost(int id);
    // Reads the camera list again (after a failed count); false without a
    // camera.
    bool ReadCameraAgain();
    // The user pressed Cancel in this upload's progress window.
    bool Cancelled() const;
    void RunUpload(CDlgProgress& progress);
    std::vector<const FolderEntry*> SelectedEntries() const;
    // The end of every removal: the list's width and the Remove rule.
    void EndRemove();
    int CountAfterChange();

    CCameraHolder& m_holder;
    ProgramCatalog& m_catalog;
    ui::ListModel& m_folderList;
    ui::ListModel& m_cameraList;
    ProgramTransferHooks m_hooks;
    // The progress window of the upload under way, else null.
    const CDlgProgress* m_pProgress = nullptr;
};

} // namespace oskel
