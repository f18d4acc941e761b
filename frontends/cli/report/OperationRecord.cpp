#include "report/OperationRecord.h"

#include "report/JsonWriter.h"
#include "commands/ProgramText.h"

#include "programs/CameraName.h"
#include "programs/FolderEntry.h"
#include "programs/ProgramCatalog.h"
#include "programs/ProgramHeader.h"
#include "programs/ProgramInfo.h"
#include "res/StringIds.h"
#include "ui/MessageBox.h"

#include <algorithm>
#include <cstring>

namespace oskel::cli {
namespace {

constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kButtonsMask = 0xF;

std::string NameKey(const char* name)
{
    return std::string(name, strnlen(name, kCameraNameSize));
}

bool SameRecord(const ProgramInfoRecord& a, const ProgramInfoRecord& b)
{
    return std::memcmp(a.bytes, b.bytes, ProgramInfoRecord::kSize) == 0;
}

// The records of `a` that `b` lacks (each record of `b` answers for one of
// `a`), by camera name: a new version under the same name counts as gained.
std::vector<std::string> Gained(const std::vector<ProgramInfoRecord>& a, std::vector<ProgramInfoRecord> b)
{
    std::vector<std::string> names;
    for (const ProgramInfoRecord& r : a) {
        const auto it = std::find_if(b.begin(), b.end(), [&](const ProgramInfoRecord& x) { return SameRecord(x, r); });
        if (it != b.end())
            b.erase(it);
        else
            names.push_back(NameKey(r.CameraName()));
    }
    return names;
}

bool Has(const std::vector<std::string>& names, const std::string& key)
{
    return std::find(names.begin(), names.end(), key) != names.end();
}

// The exclamation boxes and the plain ones (1506) tell of a failure.
bool IsFailure(unsigned type)
{
    const unsigned icon = type & kIconMask;
    return icon == ui::MB_ICONEXCLAMATION || icon == 0;
}

std::string MessagesJson(const std::vector<OperationRecord::Message>& messages)
{
    std::string json;
    for (const OperationRecord::Message& m : messages) {
        JsonObject o;
        o.Add("id", static_cast<int64_t>(m.id)).Add("text", m.text);
        o.Add("answer", TerminalFrontEnd::ButtonName(m.answer));
        if (m.asks)
            o.Add("asks", true);
        if (m.unasked)
            o.Add("unasked", true);
        json += (json.empty() ? "" : ",") + o.Text();
    }
    return "[" + json + "]";
}

bool IsUnread(const ProgramInfoRecord& r)
{
    return std::all_of(std::begin(r.bytes), std::end(r.bytes), [](uint8_t b) { return b == 0; });
}

OperationRecord::Program ProgramAt(int slot, const ProgramInfoRecord& r)
{
    if (IsUnread(r))
        return {slot, "", "", 0, 0, 0, true};
    return {slot,      RecordDisplayText(r), DottedCameraName(r.CameraName()), r.Version(), r.Kind(),
            static_cast<int64_t>(r.StoredSize()), false};
}

std::string ProgramsJson(const std::vector<OperationRecord::Program>& programs)
{
    std::string json;
    for (const OperationRecord::Program& p : programs) {
        if (p.unread) {
            json += std::string(json.empty() ? "" : ",") + JsonObject().Add("slot", p.slot).Add("unread", true).Text();
            continue;
        }
        json += std::string(json.empty() ? "" : ",") + JsonObject()
                                                          .Add("slot", p.slot)
                                                          .Add("displayName", p.name)
                                                          .Add("cameraName", p.cameraName)
                                                          .Add("kind", KindText(p.kind))
                                                          .Add("version", VersionText(p.version))
                                                          .Add("storedSize", p.storedSize)
                                                          .Text();
    }
    return "[" + json + "]";
}

} // namespace

// The progress window of an upload, seen from the record.
class OperationRecord::ItemView final : public ui::IProgressView {
public:
    ItemView(OperationRecord& record, std::unique_ptr<ui::IProgressView> inner, StatsHook onStats)
        : m_record(record), m_inner(std::move(inner)), m_onStats(std::move(onStats))
    {
    }
    bool Create(ui::IOwnerWindow* owner, std::function<void()> onCancel) override
    {
        return m_inner->Create(owner, std::move(onCancel));
    }
    bool Destroy() override { return m_inner->Destroy(); }
    bool Exists() const override { return m_inner->Exists(); }
    void Show(bool show) override
    {
        m_shown = m_shown || show;
        m_inner->Show(show);
    }
    bool IsVisible() const override { return m_inner->IsVisible(); }
    void Repaint() override { m_inner->Repaint(); }
    void SetCaption(const std::string& text) override { m_inner->SetCaption(text); }
    // Once the window is up, the transfer names each item as it begins it.
    void SetMessage(const std::string& text) override
    {
        if (m_shown)
            m_record.ItemStarts();
        m_inner->SetMessage(text);
    }
    void SetBarRange(int low, int high) override { m_inner->SetBarRange(low, high); }
    void SetBarPos(int pos) override { m_inner->SetBarPos(pos); }
    void SetStats(const ui::TransferStats& stats) override
    {
        m_inner->SetStats(stats);
        const size_t started = m_record.m_snapshots.size() - 1;
        if (!m_onStats || started < 1 || started > m_record.m_items.size())
            return;
        // A new file: another item, or the item's own file after its host.
        if (started != m_item || stats.totalBytes != m_total || stats.bytesSent < m_sent) {
            m_file = started != m_item ? 0 : m_file + 1;
            m_item = started;
        }
        m_total = stats.totalBytes;
        m_sent = stats.bytesSent;
        const Item& item = m_record.m_items[started - 1];
        StepName name{item.name, item.cameraName, false};
        // An attachment's first file is its host when the host is sent and
        // the sizes tell the two apart (the plan sends the host first).
        const FolderEntry* host = m_record.HostOf(started - 1);
        const FolderEntry* own = started - 1 < m_record.m_entries.size() ? m_record.m_entries[started - 1] : nullptr;
        if (host != nullptr && own != nullptr && m_file == 0 && stats.totalBytes == host->fileSize &&
            (host->fileSize != own->fileSize || HostMissing(*host))) {
            char hostName[kCameraNameSize] = {};
            MakeCameraName(host->fileName, hostName);
            name = {host->DisplayText(), DottedCameraName(hostName), true};
        }
        m_onStats(static_cast<int>(started), name, stats);
    }

private:
    bool HostMissing(const FolderEntry& host) const
    {
        char hostName[kCameraNameSize] = {};
        MakeCameraName(host.fileName, hostName);
        return m_record.m_catalog.FindInCamera(hostName) < 0;
    }

    OperationRecord& m_record;
    std::unique_ptr<ui::IProgressView> m_inner;
    StatsHook m_onStats;
    bool m_shown = false;
    size_t m_item = 0;
    int m_file = 0;
    int64_t m_total = -1;
    int64_t m_sent = 0;
};

const FolderEntry* OperationRecord::HostOf(size_t item) const
{
    if (!m_upload || item >= m_entries.size())
        return nullptr;
    const FolderEntry& entry = *m_entries[item];
    const size_t id = static_cast<size_t>(entry.AppId());
    if (entry.Kind() != kKindAttachment || entry.AppId() < 0 || id >= m_catalog.appIds.size())
        return nullptr;
    return m_catalog.appIds[id].folderHost;
}

OperationRecord::OperationRecord(ProgramCatalog& catalog, const Boxes& boxes, size_t firstBox)
    : m_catalog(catalog), m_boxes(boxes), m_firstBox(std::min(firstBox, boxes.size()))
{
}

OperationRecord::Snapshot OperationRecord::Take() const
{
    Snapshot records;
    for (int slot = 1; slot <= m_catalog.cameraCount; ++slot) {
        if (const ProgramInfoRecord* r = m_catalog.RecordAt(slot))
            records.push_back(*r);
    }
    return records;
}

void OperationRecord::ItemStarts()
{
    m_snapshots.push_back(Take());
    m_boxMarks.push_back(m_boxes.size());
}

// In the order the operation works: an upload top-down, a removal bottom-up.
void OperationRecord::Begin(const ui::ListModel& list, bool upload)
{
    m_upload = upload;
    const std::vector<int> selected = list.GetSelItems();
    for (size_t k = 0; k < selected.size(); ++k) {
        if (upload) {
            const FolderEntry* entry = ProgramCatalog::FolderEntryAt(list, selected[k]);
            if (entry == nullptr)
                continue;
            char name[kCameraNameSize] = {};
            MakeCameraName(entry->fileName, name);
            m_entries.push_back(entry);
            m_items.push_back({entry->DisplayText(), DottedCameraName(name), "", "", "", {}, ""});
        } else {
            const int index = selected[selected.size() - 1 - k];
            const ProgramInfoRecord* r = m_catalog.RecordAt(ProgramCatalog::CameraSlotAt(list, index));
            const ProgramInfoRecord record = r != nullptr ? *r : ProgramInfoRecord();
            m_removed.push_back(record);
            m_items.push_back({RecordDisplayText(record), DottedCameraName(record.CameraName()), "", "", "", {}, ""});
        }
    }
    ItemStarts();
}

void OperationRecord::End()
{
    ItemStarts();
    if (m_upload)
        ClassifyUpload();
    else
        ClassifyRemove();
}

std::unique_ptr<ui::IProgressView> OperationRecord::WrapView(std::unique_ptr<ui::IProgressView> inner,
                                                             StatsHook onStats)
{
    return std::make_unique<ItemView>(*this, std::move(inner), std::move(onStats));
}

OperationRecord::Message OperationRecord::MessageAt(size_t index) const
{
    const TerminalFrontEnd::ShownBox& box = m_boxes[index];
    const bool question = (box.type & kButtonsMask) != ui::MB_OK;
    return {box.id, box.text, box.answer, m_questionsAsked && question && !box.unasked, box.unasked};
}

std::vector<OperationRecord::Message> OperationRecord::MessagesBetween(size_t from, size_t to) const
{
    std::vector<Message> messages;
    for (size_t i = from; i < to && i < m_boxes.size(); ++i)
        messages.push_back(MessageAt(i));
    return messages;
}

std::vector<OperationRecord::Message> OperationRecord::AllMessages() const
{
    return MessagesBetween(m_firstBox, m_boxes.size());
}

// Snapshots: [0] before the run, [1..k] as items 1..k began, [k+1] the end.
// Items that never began were cut short: by a Cancel or No when one was
// given, else by a refusal (capacity) or a failure.
void OperationRecord::ClassifyUpload()
{
    const size_t started = m_snapshots.size() - 2;
    bool stopped = false;
    for (size_t i = m_firstBox; i < m_boxes.size(); ++i)
        stopped = stopped || m_boxes[i].answer == ui::IDCANCEL || m_boxes[i].answer == ui::IDNO;
    const std::vector<Message> beforeItems = MessagesBetween(m_boxMarks[0], m_boxMarks[1]);

    for (size_t j = 0; j < m_items.size(); ++j) {
        Item& item = m_items[j];
        if (j >= started) {
            item.outcome = stopped ? "cancelled" : "failed";
            item.messages = beforeItems;
            continue;
        }
        const Snapshot& before = m_snapshots[j + 1];
        const Snapshot& after = m_snapshots[j + 2];
        item.messages = MessagesBetween(m_boxMarks[j + 1], m_boxMarks[j + 2]);
        const std::vector<std::string> added = Gained(after, before);
        const std::vector<std::string> removed = Gained(before, after);
        const FolderEntry& entry = *m_entries[j];
        char own[kCameraNameSize] = {};
        MakeCameraName(entry.fileName, own);
        const std::string ownKey = NameKey(own);

        std::string hostKey;
        const size_t id = static_cast<size_t>(entry.AppId());
        if (entry.Kind() == kKindAttachment && entry.AppId() >= 0 && id < m_catalog.appIds.size()) {
            if (const FolderEntry* host = m_catalog.appIds[id].folderHost) {
                char hostName[kCameraNameSize] = {};
                MakeCameraName(host->fileName, hostName);
                hostKey = NameKey(hostName);
                if (Has(added, hostKey)) {
                    item.host = host->DisplayText();
                    item.hostOutcome = Has(removed, hostKey) ? "updated" : "uploaded";
                }
            }
        }
        const auto copy = std::find_if(added.begin(), added.end(), [&](const std::string& k) {
            return k != ownKey && k != hostKey;
        });
        const bool copied = copy != added.end();
        bool cancelled = false, failed = false;
        for (size_t i = m_boxMarks[j + 1]; i < m_boxMarks[j + 2]; ++i) {
            cancelled = cancelled || m_boxes[i].answer == ui::IDCANCEL;
            failed = failed || IsFailure(m_boxes[i].type);
        }
        if (Has(added, ownKey))
            item.outcome = Has(removed, ownKey) ? "updated" : "uploaded";
        else if (copied)
            item.outcome = "copied", item.cameraName = DottedCameraName(copy->c_str());
        else if (cancelled)
            item.outcome = "cancelled";
        else if (failed)
            item.outcome = "failed";
        else
            item.outcome = "skipped";
        if (item.outcome == "skipped" &&
            std::any_of(item.messages.begin(), item.messages.end(), [](const Message& m) { return m.unasked; }))
            item.yesOption = "--yes";
    }
}

// Each item named is erased when a program of its record's kind is gone;
// whatever else went is listed apart (hosts, leftovers).
void OperationRecord::ClassifyRemove()
{
    Snapshot remaining = m_snapshots.back();
    Snapshot gone = m_snapshots.front();
    for (const ProgramInfoRecord& r : remaining) {
        const auto it =
            std::find_if(gone.begin(), gone.end(), [&](const ProgramInfoRecord& g) { return SameRecord(g, r); });
        if (it != gone.end())
            gone.erase(it);
    }
    bool confirmed = false, cancelled = false, unasked = false;
    for (size_t i = m_firstBox; i < m_boxes.size(); ++i) {
        if (m_boxes[i].id == res::IDS_CONFIRM_ERASE) {
            confirmed = m_boxes[i].answer == ui::IDYES;
            unasked = m_boxes[i].unasked;
        }
        cancelled = cancelled || m_boxes[i].answer == ui::IDCANCEL;
    }
    for (size_t k = 0; k < m_items.size(); ++k) {
        Item& item = m_items[k];
        const auto it = std::find_if(gone.begin(), gone.end(),
                                     [&](const ProgramInfoRecord& g) { return SameRecord(g, m_removed[k]); });
        if (it != gone.end()) {
            item.outcome = "erased";
            gone.erase(it);
        } else if (unasked) {
            item.outcome = "skipped";
            item.yesOption = "--yes";
        } else {
            item.outcome = !confirmed ? "not confirmed" : cancelled ? "cancelled" : "failed";
        }
    }
    const Snapshot& before = m_snapshots.front();
    for (const ProgramInfoRecord& r : gone) {
        const auto at =
            std::find_if(before.begin(), before.end(), [&](const ProgramInfoRecord& b) { return SameRecord(b, r); });
        m_alsoErased.push_back(ProgramAt(static_cast<int>(at - before.begin()) + 1, r));
    }
}

std::vector<OperationRecord::Program> OperationRecord::CameraAfter() const
{
    std::vector<Program> programs;
    const Snapshot& after = m_snapshots.back();
    for (size_t i = 0; i < after.size(); ++i) {
        const ProgramInfoRecord& r = after[i];
        if (IsListedKind(r.Kind()) || IsUnread(r))
            programs.push_back(ProgramAt(static_cast<int>(i) + 1, r));
    }
    return programs;
}

bool OperationRecord::ShowsFailure(const Boxes& boxes, size_t first)
{
    for (size_t i = first; i < boxes.size(); ++i) {
        const TerminalFrontEnd::ShownBox& box = boxes[i];
        if (box.id == res::IDS_BATTERY_LOW) {
            if (box.answer != ui::IDOK)
                return true;
        } else if (IsFailure(box.type) || box.answer == ui::IDCANCEL) {
            return true;
        } else if (box.id == res::IDS_CONFIRM_ERASE && box.answer != ui::IDYES) {
            return true;
        }
    }
    return false;
}

std::string OperationRecord::Json(const std::string& command, bool dryRun, int freeMemoryAfter) const
{
    std::string items;
    for (const Item& item : m_items) {
        JsonObject o;
        o.Add("displayName", item.name).Add("cameraName", item.cameraName).Add("outcome", item.outcome);
        if (!item.yesOption.empty())
            o.Add("yesOption", item.yesOption);
        if (!item.hostOutcome.empty())
            o.AddRaw("host", JsonObject().Add("displayName", item.host).Add("outcome", item.hostOutcome).Text());
        o.AddRaw("messages", MessagesJson(item.messages));
        items += (items.empty() ? "" : ",") + o.Text();
    }
    JsonObject json;
    json.Add("command", command).Add("dryRun", dryRun).AddRaw("items", "[" + items + "]");
    if (!m_upload)
        json.AddRaw("alsoErased", ProgramsJson(m_alsoErased));
    json.AddRaw("messages", MessagesJson(AllMessages()));
    json.AddRaw("cameraAfter", ProgramsJson(CameraAfter()));
    if (freeMemoryAfter >= 0)
        json.Add("freeMemoryAfter", freeMemoryAfter);
    else
        json.AddRaw("freeMemoryAfter", "null");
    return json.Text();
}

} // namespace oskel::cli
