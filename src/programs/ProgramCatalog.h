#pragma once

#include "programs/FolderEntry.h"
#include "protocol/ProgramInfoRecord.h"
#include "ui/ListModel.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace oskel {

class CCameraHolder;

// One entry of the application id table.
struct AppIdEntry {
    // The host application (kind 4) with this id in the folder catalog; when
    // several files carry the id, the last one in scan order. Not owned.
    const FolderEntry* folderHost = nullptr;
    int32_t cameraHostSlot = 0;  // camera slot of the host with this id; 0 = not in the camera
    int32_t attachmentCount = 0; // attachments (kind 5) with this id in the camera
};

// The two catalogs behind the main dialog's lists, and the application id
// table that ties attachments to their hosts across both.
//
// - Folder catalog: one FolderEntry per valid program file of the last scan,
//   of any kind. The folder list (sorted, extended selection) shows kinds 3
//   and 5 by display text; an item's data is its FolderEntry*
//   (FolderEntryAt).
// - Camera catalog: one record per camera slot 1..cameraCount, read once
//   with RefreshCameraList and then kept in step with the camera only by
//   AddCameraRecord (after an upload) and ForgetCameraSlot (after an erase).
//   The camera list (unsorted, extended selection) shows kinds 3 and 5 in
//   slot order; an item's data is slot - index, so the slot of item i is
//   i + its data (CameraSlotAt).
//
// The catalog owns both list models (FolderList, CameraList); front ends
// render them and pass user selections into them. The list arguments of the
// refresh operations are kept for the classic call shape: a null list
// refuses the refresh. AddCameraRecord and ForgetCameraSlot work on the list
// last given to RefreshCameraList (CameraList() before any refresh).
//
// The main dialog's enabling rules live here so every front end binds the
// same rule: UPLOAD is enabled exactly while the folder list has a selection,
// Remove exactly while the camera list has one. A front end installs hooks
// that switch its buttons; the refreshes (and Remove) apply the rules, and a
// front end applies them when the user changes a list's selection.
//
// The fields carry the names the rest of the program uses; read them freely,
// change them only through the operations.
class ProgramCatalog {
public:
    static constexpr int kInitialAppIds = 4104; // ids 0..4103

    // holder must outlive the catalog.
    explicit ProgramCatalog(CCameraHolder& holder);
    ProgramCatalog(const ProgramCatalog&) = delete;
    ProgramCatalog& operator=(const ProgramCatalog&) = delete;
    ~ProgramCatalog();

    std::string folderPath; // of the last scan; ends with '/'
    std::vector<std::unique_ptr<FolderEntry>> folderEntries; // scan order
    // Indexed by slot: cameraRecords[s] for s in 1..cameraCount; slot 0 is
    // never used (a zero record). A record that could not be read is a zero
    // record in its slot: it matches no name and is never shown.
    std::vector<ProgramInfoRecord> cameraRecords;
    int32_t cameraCount = 0;      // N; -1 after a failed count (no slot then)
    int32_t applicationCount = 0; // records of kind 3 or 4
    std::vector<AppIdEntry> appIds;
    // Valid program files of the last scan left out because their names
    // have no camera name (see MakeCameraName), for front ends to mention.
    std::vector<std::string> unnamedFiles;
    // Files of the last scan that look like programs (their names end in
    // ".fnc" or ".atc") but are not in the folder list, with the reason, in
    // scan order: host applications (kept in folderEntries as well), files
    // of other kinds, files that cannot be read, that are too short or whose
    // header is broken, and programs for the other camera family. Names
    // without a camera name are in unnamedFiles instead.
    struct UnusableFile {
        std::string fileName; // bytes, as the scan reported it
        std::string reason;
    };
    std::vector<UnusableFile> unusableFiles;

    // The file name of a host application (kind 4) with this id that the
    // last scan left out for its name (the last in scan order), or "".
    std::string UnnamedHostFile(int id) const;

    ui::ListModel& FolderList() { return m_folderList; }
    ui::ListModel& CameraList() { return m_cameraList; }

    // Acquires the camera (and releases it at once), asks its family for the
    // required signature, then rescans path into list and folderEntries.
    // False, with nothing changed, without a list or a camera. A folder that
    // cannot be read gives an empty catalog (and true). Ends with the upload
    // enabling rule and FitListWidth.
    bool RefreshFolderList(ui::ListModel* list, const std::string& path);
    // The scan alone, for a known signature requirement (RefreshFolderList
    // after the camera step). One status query and one 120-byte read per
    // candidate file.
    void ScanFolder(ui::ListModel& list, const std::string& path, bool plusSignature);

    // Acquires the camera (releasing it at once), then reads the count and
    // every record into a fresh camera catalog and list. False, with nothing
    // changed, without a list or a camera. Ends with the remove enabling rule
    // and FitListWidth.
    bool RefreshCameraList(ui::ListModel* list);

    // The highest slot whose record's 12-byte name equals name (ASCII case
    // ignored), or -1.
    int FindInCamera(const char* name) const;
    // The record at slot 1..cameraCount, else null.
    const ProgramInfoRecord* RecordAt(int slot) const;
    // True when slot 1..cameraCount holds the zero record of a directory
    // record that could not be read (twice): the slot is occupied, nobody
    // knows by what. It keeps its number, is never listed, matches no name,
    // counts as one application for the capacity rule, and while any slot
    // is unread no upload stores a program (it may be the unread one) and
    // no host is erased unasked (an unread attachment may need it).
    bool IsUnreadRecord(int slot) const;
    // The unread slots, ascending.
    std::vector<int> UnreadSlots() const;

    // Grows appIds to hold id (new entries zero). Negative ids are ignored.
    void EnsureAppId(int id);

    // After the camera accepted an upload (it appends at slot N + 1): adds
    // the record built from entry and name (12 bytes; null: the entry's own
    // camera name), lists it when shown, counts it. Returns the new slot.
    // After a failed count (cameraCount -1) the new record takes slot 1, never
    // the unused slot 0.
    int AddCameraRecord(const FolderEntry& entry, const char* name);
    // After the camera confirmed an erase (slots above move down by one):
    // deletes the slot's item or lowers later items' data, adjusts the
    // counters and host slots, removes the record. False, with nothing
    // changed, for a slot outside 1..cameraCount.
    bool ForgetCameraSlot(int slot);

    // Sets list's horizontal extent to its widest item text plus 4.
    static void FitListWidth(ui::ListModel* list);

    // Item mapping. FolderEntryAt: the entry behind a folder-list item (null
    // for a bad index). CameraSlotAt: index + data (-1 for a bad index).
    static const FolderEntry* FolderEntryAt(const ui::ListModel& list, int index);
    static int CameraSlotAt(const ui::ListModel& list, int index);

    // The enabling rules. Each hook gets true to enable its button, false to
    // disable it; an empty hook is skipped.
    struct EnableHooks {
        std::function<void(bool)> upload;
        std::function<void(bool)> remove;
    };
    void SetEnableHooks(EnableHooks hooks) { m_hooks = std::move(hooks); }
    // Apply the rule to the list last refreshed (the own list before that).
    void EnableUploadByFolderSelection();
    void EnableRemoveByCameraSelection();
    bool UploadEnabled() const;
    bool RemoveEnabled() const;

private:
    void ClearFolderCatalog(ui::ListModel& list);
    void ClearCameraCatalog(ui::ListModel& list);
    std::unique_ptr<FolderEntry> ReadEntry(int dirFd, const char* name, bool plusSignature);
    void ShowRecord(int slot);
    bool ConnectedFamily(int* family);

    CCameraHolder& m_holder;
    ui::ListModel m_folderList{true, ui::ListModel::Selection::Extended};
    ui::ListModel m_cameraList{false, ui::ListModel::Selection::Extended};
    ui::ListModel* m_pFolderList = &m_folderList;
    ui::ListModel* m_pCameraList = &m_cameraList;
    EnableHooks m_hooks;
    // Hosts of the last scan without a camera name: id and file name.
    std::vector<std::pair<int, std::string>> m_unnamedHosts;
};

} // namespace oskel
