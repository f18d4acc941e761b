#include "programs/ProgramCatalog.h"

#include "camera/CameraHolder.h"
#include "programs/CameraName.h"
#include "programs/ProgramFile.h"
#include "programs/ProgramInfo.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>

namespace oskel {
namespace {

// A count beyond this is taken for a garbled answer, like a failed count.
constexpr int kMaxCameraSlots = 0xFFFF;

struct ListedEntry {
    std::string text;
    const FolderEntry* entry;
};

} // namespace

ProgramCatalog::ProgramCatalog(CCameraHolder& holder) : m_holder(holder)
{
    cameraRecords.reserve(21);
    cameraRecords.resize(1);
    appIds.resize(kInitialAppIds);
}

ProgramCatalog::~ProgramCatalog() = default;

bool ProgramCatalog::ConnectedFamily(int* family)
{
    CCameraConnection* connection = m_holder.Acquire();
    if (connection == nullptr)
        return false;
    m_holder.Release();
    if (family != nullptr)
        *family = connection->Identify();
    return true;
}

bool ProgramCatalog::RefreshFolderList(ui::ListModel* list, const std::string& path)
{
    int family = 0;
    if (list == nullptr || !ConnectedFamily(&family))
        return false;
    ScanFolder(*list, path, RequiresPlusSignature(family));
    EnableUploadByFolderSelection();
    FitListWidth(list);
    return true;
}

void ProgramCatalog::ClearFolderCatalog(ui::ListModel& list)
{
    list.ResetContent();
    folderEntries.clear();
    unnamedFiles.clear();
    unusableFiles.clear();
    m_unnamedHosts.clear();
    for (AppIdEntry& id : appIds)
        id.folderHost = nullptr;
}

std::unique_ptr<FolderEntry> ProgramCatalog::ReadEntry(int dirFd, const char* name, bool plusSignature)
{
    uint8_t header[kProgramHeaderSize];
    int64_t size = 0;
    std::string why;
    if (!CProgramFile::ReadCandidate(dirFd, name, header, &size, &why)) {
        unusableFiles.push_back({name, why});
        return nullptr;
    }
    if (!IsValidHeader(header, plusSignature)) {
        unusableFiles.push_back({name, IsValidHeader(header, !plusSignature)
                                           ? "a program for the other camera family (signature " +
                                                 std::string(plusSignature ? "KAVRA~" : "KAVRA+~") + ")"
                                           : "its program header is broken"});
        return nullptr;
    }
    auto entry = std::make_unique<FolderEntry>();
    std::memcpy(entry->header, header, sizeof header);
    entry->fileName = name;
    entry->sizeOnDisk = size;
    entry->fileSize = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
    char cameraName[kCameraNameSize];
    if (!MakeCameraName(name, cameraName)) {
        unnamedFiles.emplace_back(name);
        if (entry->Kind() == kKindHost)
            m_unnamedHosts.emplace_back(entry->AppId(), name);
        return nullptr;
    }
    return entry;
}

void ProgramCatalog::ScanFolder(ui::ListModel& list, const std::string& path, bool plusSignature)
{
    m_pFolderList = &list;
    ClearFolderCatalog(list);
    folderPath = path;
    if (!folderPath.empty() && folderPath.back() != '/')
        folderPath += '/';

    std::vector<ListedEntry> listed;
    if (DIR* dir = ::opendir(folderPath.empty() ? "." : folderPath.c_str())) {
        while (const dirent* found = ::readdir(dir)) {
            const std::string_view name = found->d_name;
            if (found->d_type == DT_DIR || !CProgramFile::HasProgramEnding(name))
                continue;
            std::unique_ptr<FolderEntry> entry = ReadEntry(::dirfd(dir), found->d_name, plusSignature);
            if (entry == nullptr)
                continue;
            const int kind = entry->Kind();
            if (IsListedKind(kind)) {
                listed.push_back({entry->DisplayText(), entry.get()});
            } else if (kind == kKindHost) {
                EnsureAppId(entry->AppId());
                appIds[static_cast<size_t>(entry->AppId())].folderHost = entry.get();
                unusableFiles.push_back({entry->fileName, "a host application: it is uploaded with its attachments"});
            } else {
                unusableFiles.push_back(
                    {entry->fileName, "of kind " + std::to_string(kind) + ", which is not an application"});
            }
            folderEntries.push_back(std::move(entry));
        }
        ::closedir(dir);
    }

    // Items go in already in the list's order, so each sorted insertion
    // lands at the end; the stable sort keeps equal texts in scan order, as
    // one-by-one insertion would.
    if (list.IsSorted()) {
        std::stable_sort(listed.begin(), listed.end(), [](const ListedEntry& a, const ListedEntry& b) {
            return ui::ListModel::CompareItemText(a.text, b.text) < 0;
        });
    }
    for (ListedEntry& item : listed) {
        const int index = list.AddString(std::move(item.text));
        list.SetItemData(index, reinterpret_cast<intptr_t>(item.entry));
    }
}

void ProgramCatalog::ClearCameraCatalog(ui::ListModel& list)
{
    list.ResetContent();
    cameraRecords.resize(1);
    cameraCount = 0;
    applicationCount = 0;
    for (AppIdEntry& id : appIds) {
        id.cameraHostSlot = 0;
        id.attachmentCount = 0;
    }
}

bool ProgramCatalog::RefreshCameraList(ui::ListModel* list)
{
    if (list == nullptr)
        return false;
    CCameraConnection* connection = m_holder.Acquire();
    if (connection == nullptr)
        return false;
    m_holder.Release();

    m_pCameraList = list;
    ClearCameraCatalog(*list);
    int count = connection->GetProgramCount();
    if (count < 0 || count > kMaxCameraSlots)
        count = -1;
    cameraCount = count;
    for (int slot = 1; slot <= cameraCount; ++slot) {
        ProgramInfoRecord record;
        // A record that could not be read is read once more.
        const bool read =
            connection->ReadProgramInfo(slot, &record) != 0 || connection->ReadProgramInfo(slot, &record) != 0;
        cameraRecords.push_back(read ? record : ProgramInfoRecord{});
        if (!read)
            continue;
        switch (record.Kind()) {
        case kKindStandalone:
            ShowRecord(slot);
            ++applicationCount;
            break;
        case kKindAttachment:
            ShowRecord(slot);
            EnsureAppId(record.AppId());
            ++appIds[record.AppId()].attachmentCount;
            break;
        case kKindHost:
            ++applicationCount;
            EnsureAppId(record.AppId());
            appIds[record.AppId()].cameraHostSlot = slot;
            break;
        default:
            break;
        }
    }
    EnableRemoveByCameraSelection();
    FitListWidth(list);
    return true;
}

void ProgramCatalog::ShowRecord(int slot)
{
    ui::ListModel& list = *m_pCameraList;
    const int index = list.AddString(RecordDisplayText(cameraRecords[static_cast<size_t>(slot)]));
    list.SetItemData(index, slot - index);
}

int ProgramCatalog::FindInCamera(const char* name) const
{
    for (int slot = cameraCount; slot >= 1; --slot) {
        const ProgramInfoRecord& record = cameraRecords[static_cast<size_t>(slot)];
        if (record.CameraName()[0] != '\0' && CameraNamesEqual(record.CameraName(), name))
            return slot;
    }
    return -1;
}

std::string ProgramCatalog::UnnamedHostFile(int id) const
{
    for (auto it = m_unnamedHosts.rbegin(); it != m_unnamedHosts.rend(); ++it) {
        if (it->first == id)
            return it->second;
    }
    return {};
}

bool ProgramCatalog::IsUnreadRecord(int slot) const
{
    const ProgramInfoRecord* record = RecordAt(slot);
    return record != nullptr &&
           std::all_of(std::begin(record->bytes), std::end(record->bytes), [](uint8_t b) { return b == 0; });
}

std::vector<int> ProgramCatalog::UnreadSlots() const
{
    std::vector<int> slots;
    for (int slot = 1; slot <= cameraCount; ++slot) {
        if (IsUnreadRecord(slot))
            slots.push_back(slot);
    }
    return slots;
}

const ProgramInfoRecord* ProgramCatalog::RecordAt(int slot) const
{
    return slot >= 1 && slot <= cameraCount ? &cameraRecords[static_cast<size_t>(slot)] : nullptr;
}

void ProgramCatalog::EnsureAppId(int id)
{
    if (id >= 0 && static_cast<size_t>(id) >= appIds.size())
        appIds.resize(static_cast<size_t>(id) + 1);
}

int ProgramCatalog::AddCameraRecord(const FolderEntry& entry, const char* name)
{
    if (cameraCount < 0)
        cameraCount = 0;
    const int slot = ++cameraCount;
    ProgramInfoRecord record;
    BuildProgramInfo(&record, entry, name);
    cameraRecords.resize(static_cast<size_t>(slot));
    cameraRecords.push_back(record);

    switch (record.Kind()) {
    case kKindStandalone:
        ++applicationCount;
        ShowRecord(slot);
        break;
    case kKindHost:
        ++applicationCount;
        EnsureAppId(record.AppId());
        appIds[record.AppId()].cameraHostSlot = slot;
        break;
    case kKindAttachment:
        EnsureAppId(record.AppId());
        ++appIds[record.AppId()].attachmentCount;
        ShowRecord(slot);
        break;
    default:
        break;
    }
    return slot;
}

bool ProgramCatalog::ForgetCameraSlot(int slot)
{
    if (slot < 1 || slot > cameraCount)
        return false;
    const ProgramInfoRecord record = cameraRecords[static_cast<size_t>(slot)];
    ui::ListModel& list = *m_pCameraList;

    bool deleted = false;
    if (IsListedKind(record.Kind())) {
        for (int i = list.GetCount() - 1; i >= 0 && !deleted; --i) {
            if (CameraSlotAt(list, i) == slot)
                deleted = list.DeleteString(i) != ui::ListModel::kError;
        }
    }
    if (!deleted) {
        for (int i = list.GetCount() - 1; i >= 0; --i) {
            const int itemSlot = CameraSlotAt(list, i);
            if (itemSlot < slot)
                break;
            if (itemSlot > slot)
                list.SetItemData(i, list.GetItemData(i) - 1);
        }
    }

    switch (record.Kind()) {
    case kKindStandalone:
        --applicationCount;
        break;
    case kKindHost:
        --applicationCount;
        EnsureAppId(record.AppId());
        appIds[record.AppId()].cameraHostSlot = 0;
        break;
    case kKindAttachment: {
        EnsureAppId(record.AppId());
        int32_t& count = appIds[record.AppId()].attachmentCount;
        count = std::max(count - 1, 0);
        break;
    }
    default:
        break;
    }

    cameraRecords.erase(cameraRecords.begin() + slot);
    --cameraCount;
    for (AppIdEntry& id : appIds) {
        if (id.cameraHostSlot > slot)
            --id.cameraHostSlot;
    }
    return true;
}

void ProgramCatalog::FitListWidth(ui::ListModel* list)
{
    if (list == nullptr)
        return;
    int widest = 0;
    for (int i = 0; i < list->GetCount(); ++i)
        widest = std::max(widest, list->MeasureText(list->GetText(i)));
    list->SetHorizontalExtent(widest + 4);
}

const FolderEntry* ProgramCatalog::FolderEntryAt(const ui::ListModel& list, int index)
{
    if (index < 0 || index >= list.GetCount())
        return nullptr;
    return reinterpret_cast<const FolderEntry*>(list.GetItemData(index));
}

int ProgramCatalog::CameraSlotAt(const ui::ListModel& list, int index)
{
    if (index < 0 || index >= list.GetCount())
        return -1;
    return index + static_cast<int>(list.GetItemData(index));
}

void ProgramCatalog::EnableUploadByFolderSelection()
{
    if (m_hooks.upload)
        m_hooks.upload(UploadEnabled());
}

void ProgramCatalog::EnableRemoveByCameraSelection()
{
    if (m_hooks.remove)
        m_hooks.remove(RemoveEnabled());
}

bool ProgramCatalog::UploadEnabled() const
{
    return m_pFolderList->GetSelCount() > 0;
}

bool ProgramCatalog::RemoveEnabled() const
{
    return m_pCameraList->GetSelCount() > 0;
}

} // namespace oskel
