// UPLOAD: the capacity check, the existing-program checks, the host step and
// the run over the folder list's selection.
#include "transfer/ProgramTransfer.h"

#include "camera/CameraHolder.h"
#include "programs/CameraName.h"
#include "programs/ProgramCatalog.h"
#include "programs/ProgramInfo.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "transfer/DlgProgress.h"
#include "transfer/ProgressPlan.h"
#include "transfer/ResourceText.h"
#include "ui/MessageBox.h"
#include "ui/ReadableText.h"

#include <memory>

namespace oskel {

namespace {

unsigned WithCancel(bool more, unsigned withoutCancel, unsigned withCancel)
{
    return more ? withCancel : withoutCancel;
}

// OK goes on with `ok`; any other answer stops.
CProgramTransfer::Check OkOrStop(int answer, CProgramTransfer::Check ok)
{
    return answer == ui::IDOK ? ok : CProgramTransfer::Check::Stop;
}

} // namespace

std::vector<const FolderEntry*> CProgramTransfer::SelectedEntries() const
{
    std::vector<const FolderEntry*> entries;
    for (int index : m_folderList.GetSelItems()) {
        if (const FolderEntry* entry = ProgramCatalog::FolderEntryAt(m_folderList, index))
            entries.push_back(entry);
    }
    return entries;
}

bool CProgramTransfer::CheckSelectionLimits()
{
    // An unread slot may hold an application: the camera's limit counts it.
    int apps = m_catalog.applicationCount + static_cast<int>(m_catalog.UnreadSlots().size());
    std::vector<AppIdEntry> ids = m_catalog.appIds;
    for (const FolderEntry* entry : SelectedEntries()) {
        const int kind = entry->Kind();
        char name[kCameraNameSize];
        const bool counts = (kind == kKindAttachment && entry->CopyFlag() == 1) ||
                            !MakeCameraName(entry->fileName, name) || m_catalog.FindInCamera(name) == -1;
        if (!counts)
            continue;
        if (kind == kKindStandalone || kind == kKindHost) {
            ++apps;
        } else if (kind == kKindAttachment) {
            if (entry->AppId() < 0)
                continue;
            const size_t id = static_cast<size_t>(entry->AppId());
            if (id >= ids.size())
                ids.resize(id + 1);
            ++ids[id].attachmentCount;
            if (ids[id].cameraHostSlot == 0) {
                ids[id].cameraHostSlot = 1;
                ++apps;
            }
        }
    }
    if (apps > kMaxApplications) {
        ui::AfxMessageBox(FormatResource(res::IDS_TOO_MANY_APPS, kMaxApplications), ui::MB_ICONEXCLAMATION,
                          res::IDS_TOO_MANY_APPS);
        return false;
    }
    for (const AppIdEntry& id : ids) {
        if (id.attachmentCount > kMaxAttachments) {
            ui::AfxMessageBox(FormatResource(res::IDS_TOO_MANY_ATTACHMENTS, kMaxAttachments), ui::MB_ICONEXCLAMATION,
                              res::IDS_TOO_MANY_ATTACHMENTS);
            return false;
        }
    }
    return true;
}

CProgramTransfer::Check CProgramTransfer::CheckExisting(int slot, const FolderEntry& entry, char* cameraName, bool more)
{
    const ProgramInfoRecord* record = m_catalog.RecordAt(slot);
    if (record == nullptr)
        return Check::Proceed;
    if (record->Kind() == kKindAttachment) {
        if (record->CopyFlag() == 1) {
            NextCopyName(cameraName, m_catalog);
            return Check::Proceed;
        }
        const int answer = ui::AfxMessageBox(FormatResource(res::IDS_ALREADY_IN_CAMERA, entry.DisplayText().c_str()),
                                             ui::MB_ICONINFORMATION | WithCancel(more, ui::MB_OK, ui::MB_OKCANCEL),
                                             res::IDS_ALREADY_IN_CAMERA);
        return OkOrStop(answer, Check::Skip);
    }
    switch (const Check check = CheckUpdate(slot, entry, more)) {
    case Check::UpToDate: {
        const int answer = ui::AfxMessageBox(FormatResource(res::IDS_UP_TO_DATE, entry.DisplayText().c_str()),
                                             ui::MB_ICONINFORMATION | WithCancel(more, ui::MB_OK, ui::MB_OKCANCEL),
                                             res::IDS_UP_TO_DATE);
        return OkOrStop(answer, Check::Skip);
    }
    case Check::Declined:
        return Check::Skip;
    default:
        return check;
    }
}

CProgramTransfer::Check CProgramTransfer::CheckUpdate(int slot, const FolderEntry& entry, bool more)
{
    const ProgramInfoRecord* found = m_catalog.RecordAt(slot);
    if (found == nullptr || !IsNewerThanStored(entry, *found))
        return Check::UpToDate;
    const ProgramInfoRecord record = *found;
    const unsigned okStyle = ui::MB_ICONEXCLAMATION | WithCancel(more, ui::MB_OK, ui::MB_OKCANCEL);

    const int answer =
        ui::AfxMessageBox(res::IDS_OLDER_VERSION, ui::MB_ICONQUESTION | WithCancel(more, ui::MB_YESNO, ui::MB_YESNOCANCEL));
    if (answer == ui::IDNO)
        return Check::Declined;
    if (answer != ui::IDYES)
        return Check::Stop;

    if (entry.fileSize <= 0)
        return OkOrStop(ui::AfxMessageBox(res::IDS_FILE_UNREADABLE, okStyle), Check::Declined);

    // Without a reading of the free memory the old version is kept: erasing
    // it first would leave nothing when the new one then does not fit.
    const int free = ReadFreeMemory();
    if (free < 0 || static_cast<int64_t>(record.StoredSize()) + free <
                        static_cast<int64_t>(entry.fileSize) + kMemoryReserve)
        return OkOrStop(ui::AfxMessageBox(res::IDS_CAMERA_MEMORY_FULL, okStyle), Check::Declined);

    // A Cancel pressed while a question was open ends the run here: the old
    // version is never erased for a new one that will not be sent.
    if (Cancelled())
        return Check::Stop;
    if (EraseAt(slot)) {
        m_catalog.ForgetCameraSlot(slot);
        return Check::Proceed;
    }
    return OkOrStop(ui::AfxMessageBox(res::IDS_UPDATE_FAILED, okStyle), Check::Declined);
}

CProgramTransfer::Next CProgramTransfer::AfterCheck(Check check)
{
    return check == Check::Stop ? Next::End : Next::NextItem;
}

CProgramTransfer::Next CProgramTransfer::AfterFailedTransfer(int status, bool more)
{
    if (status == kCancelled || !more)
        return Next::End;
    const int answer = ui::AfxMessageBox(res::IDS_CONTINUE_REMAINING, ui::MB_ICONQUESTION | ui::MB_YESNO);
    return answer == ui::IDYES ? Next::NextItem : Next::End;
}

CProgramTransfer::Next CProgramTransfer::HostStep(const FolderEntry& entry, bool more, CDlgProgress& progress,
                                                  ProgressPlan& plan, bool* hostUploaded)
{
    const size_t id = static_cast<size_t>(entry.AppId());
    if (entry.AppId() < 0 || id >= m_catalog.appIds.size())
        return Next::GoOn;
    const FolderEntry* host = m_catalog.appIds[id].folderHost;
    const int hostSlot = m_catalog.appIds[id].cameraHostSlot;

    // Only a host that was not in the camera before is taken back when the
    // attachment then fails; an updated one replaces the old for good.
    bool needHost = hostSlot == 0;
    const bool bringsHost = needHost;
    if (hostSlot != 0 && host != nullptr) {
        // The host's question always offers Cancel: the attachment follows it.
        switch (CheckUpdate(hostSlot, *host, true)) {
        case Check::Stop:
            return Next::End;
        case Check::Proceed:
            needHost = true;
            break;
        default:
            break;
        }
    }
    if (!needHost)
        return Next::GoOn;
    if (host == nullptr) {
        ReportMissingHost(entry);
        return Next::NextItem;
    }

    plan.ShareNext(progress, host->fileSize);
    char hostName[kCameraNameSize];
    MakeCameraName(host->fileName, hostName);
    const int status = UploadFile(host->fileName, hostName, host->fileSize, &progress);
    if (status == kUploaded) {
        m_catalog.AddCameraRecord(*host, hostName);
        *hostUploaded = bringsHost;
        return Next::GoOn;
    }
    return AfterFailedTransfer(status, more);
}

// 1506 when no host file with the id is in the folder; when one is there
// under a name the camera cannot take, which file to rename, and to what.
void CProgramTransfer::ReportMissingHost(const FolderEntry& entry)
{
    const std::string unnamed = m_catalog.UnnamedHostFile(entry.AppId());
    if (unnamed.empty()) {
        ui::AfxMessageBox(FormatResource(res::IDS_HOST_FILE_MISSING, entry.FileNameText().c_str()), ui::MB_OK,
                          res::IDS_HOST_FILE_MISSING);
        return;
    }
    ui::AfxMessageBox(FormatResource(res::IDS_HOST_FILE_UNNAMED, entry.FileNameText().c_str(),
                                     ui::ReadableText(unnamed).c_str(),
                                     ui::ReadableText(ShortenedFileName(unnamed)).c_str()),
                      ui::MB_ICONEXCLAMATION | ui::MB_OK, res::IDS_HOST_FILE_UNNAMED);
}

// Takes back the host sent for an attachment that then failed (it is the
// newest program), unless an attachment of its id is in the camera and
// needs it.
void CProgramTransfer::RollBackHost(int id)
{
    if (id < 0 || static_cast<size_t>(id) >= m_catalog.appIds.size() ||
        m_catalog.appIds[static_cast<size_t>(id)].attachmentCount != 0)
        return;
    const int newest = m_catalog.cameraCount;
    if (EraseAt(newest))
        m_catalog.ForgetCameraSlot(newest);
}

// The program, or the host an attachment brings along, may be stored in a
// slot whose record could not be read: storing it again would keep two
// copies. Nothing is guessed: the item is refused with the reason (OK goes
// on with the next item, Cancel ends the upload).
CProgramTransfer::Check CProgramTransfer::RefuseBesideUnreadRecords(const FolderEntry& entry, bool more)
{
    const size_t unread = m_catalog.UnreadSlots().size();
    if (unread == 0 || m_hooks.uploadBesideUnreadRecords)
        return Check::Proceed;
    const int answer = ui::AfxMessageBox(
        FormatResource(res::IDS_UNREAD_RECORDS_UPLOAD, entry.DisplayText().c_str(), static_cast<int>(unread)),
        ui::MB_ICONEXCLAMATION | WithCancel(more, ui::MB_OK, ui::MB_OKCANCEL), res::IDS_UNREAD_RECORDS_UPLOAD);
    return OkOrStop(answer, Check::Skip);
}

CProgramTransfer::Next CProgramTransfer::UploadItem(const FolderEntry& entry, bool more, CDlgProgress& progress,
                                                    ProgressPlan& plan)
{
    if (const Check refusal = RefuseBesideUnreadRecords(entry, more); refusal != Check::Proceed)
        return AfterCheck(refusal);
    bool hostUploaded = false;
    if (entry.Kind() == kKindAttachment) {
        if (const Next next = HostStep(entry, more, progress, plan, &hostUploaded); next != Next::GoOn)
            return next;
    }
    plan.ShareNext(progress, entry.fileSize);

    char name[kCameraNameSize];
    MakeCameraName(entry.fileName, name);
    if (const int slot = m_catalog.FindInCamera(name); slot >= 0) {
        if (const Check check = CheckExisting(slot, entry, name, more); check != Check::Proceed)
            return AfterCheck(check);
    }

    const int status = UploadFile(entry.fileName, name, entry.fileSize, &progress);
    if (status == kUploaded) {
        m_catalog.AddCameraRecord(entry, name);
        return Next::NextItem;
    }
    if (hostUploaded)
        RollBackHost(entry.AppId());
    return AfterFailedTransfer(status, more);
}

void CProgramTransfer::RunUpload(CDlgProgress& progress)
{
    const std::vector<const FolderEntry*> entries = SelectedEntries();
    const int n = static_cast<int>(entries.size());

    ProgressPlan plan;
    std::vector<bool> hostCounted;
    for (const FolderEntry* entry : entries) {
        plan.Add(entry->fileSize);
        if (entry->Kind() != kKindAttachment)
            continue;
        const size_t id = static_cast<size_t>(entry->AppId());
        if (entry->AppId() < 0 || id >= m_catalog.appIds.size())
            continue;
        const AppIdEntry& app = m_catalog.appIds[id];
        if (hostCounted.size() <= id)
            hostCounted.resize(id + 1);
        if (app.cameraHostSlot == 0 && app.folderHost != nullptr && !hostCounted[id]) {
            hostCounted[id] = true;
            plan.Add(app.folderHost->fileSize);
        }
    }

    for (int j = 0; j < n && !Cancelled(); ++j) {
        const FolderEntry& entry = *entries[static_cast<size_t>(j)];
        m_catalog.EnsureAppId(entry.AppId());
        progress.SetMessage(FormatResource(res::IDS_UPLOADING, entry.DisplayText().c_str(), j + 1, n));
        if (UploadItem(entry, j < n - 1, progress, plan) == Next::End)
            break;
    }
}

bool CProgramTransfer::Cancelled() const
{
    return m_pProgress != nullptr && m_pProgress->m_bCancelled != 0;
}

void CProgramTransfer::UploadSelected()
{
    // Without the camera's count neither the capacity check nor the check
    // that the count grew can hold: read the camera again, or send nothing.
    if (m_catalog.cameraCount < 0) {
        if (!ReadCameraAgain())
            return;
        if (m_catalog.cameraCount < 0) {
            ui::AfxMessageBox(res::IDS_UPLOAD_INCOMPLETE, ui::MB_ICONEXCLAMATION | ui::MB_OK);
            return;
        }
    }
    if (!CheckSelectionLimits())
        return;
    CameraLease lease(m_holder);
    if (!lease)
        return;
    CCameraConnection& camera = *lease.get();
    if (!camera.IsBatteryOk() &&
        ui::AfxMessageBox(res::IDS_BATTERY_LOW, ui::MB_ICONEXCLAMATION | ui::MB_OKCANCEL) != ui::IDOK)
        return;

    auto progress = std::make_unique<CDlgProgress>(m_hooks.makeProgressView ? m_hooks.makeProgressView()
                                                                           : ui::CreateProgressView());
    progress->SetTitle(res::LoadString(res::IDS_UPLOAD_TITLE));
    progress->Create(m_hooks.owner);
    progress->Show();
    progress->SetClock(&camera.Time());
    progress->SetLineSpeed(camera.GetSpeed());

    m_pProgress = progress.get();
    RunUpload(*progress);
    m_pProgress = nullptr;

    progress->DestroyWindow();
    progress.reset();
    ProgramCatalog::FitListWidth(&m_cameraList);
}

} // namespace oskel
