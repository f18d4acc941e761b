// list, upload and remove: the main dialog's two lists and its UPLOAD and
// Remove buttons, driven from the command line over the same catalog and
// transfer operations.
#include "commands/CliCommands.h"
#include "CliInterrupt.h"
#include "CliSession.h"
#include "rehearsal/DryRun.h"
#include "report/JsonWriter.h"
#include "commands/NameMatch.h"
#include "report/OperationRecord.h"
#include "commands/ProgramText.h"
#include "commands/ProgramsCache.h"
#include "terminal/TerminalText.h"

#include "camera/ConnectFailureText.h"
#include "programs/CameraName.h"
#include "programs/ProgramCatalog.h"
#include "programs/ProgramHeader.h"
#include "programs/ProgramInfo.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "transfer/ProgramTransfer.h"
#include "ui/MessageBox.h"
#include "ui/ReadableText.h"

#include <algorithm>
#include <filesystem>
#include <functional>

namespace oskel::cli {
namespace {

std::string Pad(const std::string& text, size_t width)
{
    const size_t w = CodePoints(text);
    return w >= width ? text : text + std::string(width - w, ' ');
}

struct Table {
    std::vector<std::vector<std::string>> rows;

    std::string Text() const
    {
        std::vector<size_t> widths;
        for (const auto& row : rows) {
            widths.resize(std::max(widths.size(), row.size()));
            for (size_t i = 0; i < row.size(); ++i)
                widths[i] = std::max(widths[i], CodePoints(row[i]));
        }
        std::string text;
        for (const auto& row : rows) {
            std::string line;
            for (size_t i = 0; i < row.size(); ++i)
                line += "  " + (i + 1 < row.size() ? Pad(row[i], widths[i]) : row[i]);
            text += line + "\n";
        }
        return text;
    }
};

struct FolderItem {
    const FolderEntry* entry;
};

struct CameraItem {
    int slot;
    const ProgramInfoRecord* record;
};

std::vector<FolderItem> FolderItems(ProgramCatalog& catalog)
{
    std::vector<FolderItem> items;
    const ui::ListModel& list = catalog.FolderList();
    for (int i = 0; i < list.GetCount(); ++i) {
        if (const FolderEntry* entry = ProgramCatalog::FolderEntryAt(list, i))
            items.push_back({entry});
    }
    return items;
}

std::vector<CameraItem> CameraItems(ProgramCatalog& catalog)
{
    std::vector<CameraItem> items;
    const ui::ListModel& list = catalog.CameraList();
    for (int i = 0; i < list.GetCount(); ++i) {
        const int slot = ProgramCatalog::CameraSlotAt(list, i);
        items.push_back({slot, catalog.RecordAt(slot)});
    }
    return items;
}

// The camera list's items and, in slot order among them, the slots whose
// records could not be read (record null): what `list` shows.
std::vector<CameraItem> CameraItemsWithUnread(ProgramCatalog& catalog)
{
    std::vector<CameraItem> items = CameraItems(catalog);
    for (const int slot : catalog.UnreadSlots())
        items.push_back({slot, nullptr});
    std::stable_sort(items.begin(), items.end(), [](const CameraItem& a, const CameraItem& b) { return a.slot < b.slot; });
    return items;
}

// The catalogs as the main dialog fills them when it opens: false, with the
// reason told, when the camera was lost on the way. A program count that
// could not be read is read once more: names are matched against the camera
// list before the operation runs, and an empty list for an unknown count
// would call every name unknown. The camera's names are kept for `remove`'s
// completion.
int FillCatalogs(CliSession& session, ProgramCatalog& catalog, bool folder, bool camera)
{
    const auto readCamera = [&] { return catalog.RefreshCameraList(&catalog.CameraList()); };
    if ((folder && !catalog.RefreshFolderList(&catalog.FolderList(), session.Folder())) ||
        (camera && (!readCamera() || (catalog.cameraCount < 0 && !readCamera())))) {
        session.ReportFailure(std::string());
        return Interrupted() ? kExitInterrupted : kExitNoCamera;
    }
    if (camera && catalog.cameraCount < 0) {
        session.Error("the camera's program count could not be read");
        return kExitFailed;
    }
    if (camera)
        WriteProgramsCache(session.Context().programsCache, catalog);
    return kExitOk;
}

// How an upload or removal went, from what the user was shown: a failure
// message (the exclamation boxes and the plain 1506), a Cancel, or the
// removal's confirmation declined make it kExitFailed; the low-battery
// warning counts only when it was not answered OK, and a declined update
// or a skipped item (already in the camera) is no failure.
int OperationStatus(CliSession& session, size_t firstBox, int notFoundBefore)
{
    if (Interrupted()) {
        session.Error("interrupted");
        return kExitInterrupted;
    }
    if (session.FrontEnd().CameraNotFoundShown() > notFoundBefore) {
        session.ReportFailure(std::string());
        return kExitNoCamera;
    }
    if (!OperationRecord::ShowsFailure(session.FrontEnd().Shown(), firstBox))
        return kExitOk;
    // A pulled cable or a camera switched off on the way: the operation's
    // own messages (a failed upload, then no free memory for the next) do
    // not tell, so say it, with what the reconnect found if one was tried.
    if (!session.Connection().IsOpen()) {
        session.Error("The connection to the camera was lost.");
        const std::string reason = DescribeConnectFailure(session.Connection().LastFailure());
        session.Error(!reason.empty() ? reason
                                      : "The port " + session.PortText() +
                                            " hung up: was the cable pulled out, or the camera switched off?");
    }
    return kExitFailed;
}

// One JSON line on the error stream per progress step of --progress=json.
void PrintProgressJson(std::ostream& err, int item, const OperationRecord::StepName& name,
                       const ui::TransferStats& stats)
{
    const int64_t rate = stats.elapsedMs > 0 ? stats.bytesSent * 1000 / stats.elapsedMs : 0;
    JsonObject json;
    json.Add("event", "progress").Add("item", item).Add("name", name.name).Add("cameraName", name.cameraName);
    if (name.host)
        json.Add("host", true);
    json.Add("bytes", stats.bytesSent).Add("total", stats.totalBytes);
    json.Add("rate", rate);
    if (rate > 0)
        json.Add("timeLeftMs", (stats.totalBytes - stats.bytesSent) * 1000 / rate);
    else
        json.AddRaw("timeLeftMs", "null");
    err << json.Text() << '\n';
    err.flush();
}

// Selects in list the items the names choose among candidates (a usage error
// naming the candidates otherwise, with nothing sent) and runs the button's
// operation on them, or its rehearsal with --dry-run; the status follows
// from what the user was shown. --json prints what became of each item.
// A name that no candidate answers to but one of `unusable` does is refused
// with that one's label, which tells why it cannot be used.
int RunOnNamed(const CliOptions& options, CliContext& context, CliSession& session, ProgramCatalog& catalog,
               const std::vector<NameCandidate>& candidates, const std::vector<NameCandidate>& unusable,
               const std::string& where, const std::string& hint, bool upload)
{
    for (const std::string& name : options.names) {
        const std::vector<int> refused = MatchName(name, unusable);
        if (MatchName(name, candidates).empty() && !refused.empty()) {
            session.Error(unusable[static_cast<size_t>(refused.front())].label);
            return kExitUsage;
        }
    }
    std::vector<int> chosen;
    std::string error;
    if (!MatchNames(options.names, candidates, where, hint, &chosen, &error)) {
        session.Error(error);
        return kExitUsage;
    }
    if (options.dryRun)
        return RunDryRun(options, context, session, catalog, chosen, upload);
    ui::ListModel& list = upload ? catalog.FolderList() : catalog.CameraList();
    for (const int index : chosen)
        list.SetSel(index, true);

    const size_t firstBox = session.FrontEnd().Shown().size();
    const int notFound = session.FrontEnd().CameraNotFoundShown();
    // The connect's messages (the battery warning) count in.
    OperationRecord record(catalog, session.FrontEnd().Shown(), 0);
    record.Begin(list, upload);
    ProgramTransferHooks hooks;
    hooks.uploadBesideUnreadRecords = options.force;
    hooks.makeProgressView = [&] {
        OperationRecord::StatsHook onStats;
        if (options.progressJson)
            onStats = [&context](int item, const OperationRecord::StepName& name, const ui::TransferStats& stats) {
                PrintProgressJson(context.err, item, name, stats);
            };
        return record.WrapView(ui::CreateProgressView(), std::move(onStats));
    };
    CProgramTransfer transfer(session.Holder(), catalog, catalog.FolderList(), catalog.CameraList(), std::move(hooks));
    if (upload)
        transfer.UploadSelected();
    else
        transfer.RemoveSelected();
    record.End();
    WriteProgramsCache(context.programsCache, catalog);
    const int status = OperationStatus(session, firstBox, notFound);
    if (options.json) {
        const bool readable = status != kExitInterrupted && status != kExitNoCamera && session.Connection().IsOpen();
        const int freeMemory = readable ? transfer.ReadFreeMemory() : -1;
        context.out << record.Json(upload ? "upload" : "remove", false, freeMemory) << '\n';
        context.out.flush();
    }
    return status;
}

int CheckFolderOption(const CliOptions& options, CliContext& context)
{
    std::error_code ec;
    if (options.folder && !std::filesystem::is_directory(*options.folder, ec)) {
        TellError(context, "--folder " + *options.folder + ": not a folder");
        return kExitUsage;
    }
    return kExitOk;
}

void PrintList(const CliOptions& options, CliContext& context, ProgramCatalog& catalog, int freeMemory)
{
    const std::vector<FolderItem> folder = FolderItems(catalog);
    const std::vector<CameraItem> camera = CameraItemsWithUnread(catalog);
    std::ostream& out = context.out;
    if (options.json) {
        std::string folderJson, cameraJson, unnamed;
        for (const FolderItem& f : folder) {
            folderJson += std::string(folderJson.empty() ? "" : ",") +
                          JsonObject()
                              .AddName("displayName", f.entry->DisplayName())
                              .AddName("fileName", f.entry->fileName)
                              .Add("kind", KindText(f.entry->Kind()))
                              .Add("version", VersionText(f.entry->Version()))
                              .Add("size", f.entry->sizeOnDisk)
                              .Text();
        }
        for (const CameraItem& c : camera) {
            if (c.record == nullptr) {
                cameraJson += std::string(cameraJson.empty() ? "" : ",") +
                              JsonObject().Add("slot", c.slot).Add("unread", true).Text();
                continue;
            }
            const ProgramInfoRecord& r = *c.record;
            cameraJson += std::string(cameraJson.empty() ? "" : ",") +
                          JsonObject()
                              .Add("slot", c.slot)
                              .AddName("displayName", RecordDisplayName(r))
                              .AddName("cameraName", DottedCameraBytes(r.CameraName()))
                              .Add("kind", KindText(r.Kind()))
                              .Add("version", VersionText(r.Version()))
                              .Add("storedSize", static_cast<int64_t>(r.StoredSize()))
                              .Text();
        }
        for (const std::string& name : catalog.unnamedFiles)
            unnamed += std::string(unnamed.empty() ? "" : ",") + JsonString(ui::ReadableText(name));
        std::string unusable;
        for (const ProgramCatalog::UnusableFile& f : catalog.unusableFiles)
            unusable += std::string(unusable.empty() ? "" : ",") +
                        JsonObject().AddName("fileName", f.fileName).Add("reason", f.reason).Text();
        JsonObject json;
        json.AddRaw("folder", JsonObject()
                                  .AddName("path", catalog.folderPath)
                                  .AddRaw("applications", "[" + folderJson + "]")
                                  .AddRaw("withoutCameraName", "[" + unnamed + "]")
                                  .AddRaw("unusable", "[" + unusable + "]")
                                  .Text());
        JsonObject cameraObject;
        cameraObject.AddRaw("applications", "[" + cameraJson + "]");
        if (freeMemory >= 0)
            cameraObject.Add("freeMemory", freeMemory);
        else
            cameraObject.AddRaw("freeMemory", "null");
        json.AddRaw("camera", cameraObject.Text());
        out << json.Text() << '\n';
        out.flush();
        return;
    }

    out << "Applications in the folder " << ui::ReadableText(catalog.folderPath) << ":\n";
    if (folder.empty()) {
        out << "  (none)\n";
    } else {
        Table table{{{"Display name", "File name", "Kind", "Version", "Size"}}};
        for (const FolderItem& f : folder)
            table.rows.push_back({f.entry->DisplayText(), f.entry->FileNameText(), KindText(f.entry->Kind()),
                                  VersionText(f.entry->Version()), std::to_string(f.entry->sizeOnDisk)});
        out << table.Text();
    }
    for (const std::string& name : catalog.unnamedFiles)
        out << "  (not listed: \"" << ui::ReadableText(name) << "\" has no camera name, at most 8.3 characters)\n";
    if (!catalog.unusableFiles.empty()) {
        out << "Other files in the folder, not uploaded by name:\n";
        Table table{{{"File name", "Why"}}};
        for (const ProgramCatalog::UnusableFile& f : catalog.unusableFiles)
            table.rows.push_back({ui::ReadableText(f.fileName), f.reason});
        out << table.Text();
    }
    out << "Applications in the camera:\n";
    if (camera.empty()) {
        out << "  (none)\n";
    } else {
        Table table{{{"Slot", "Display name", "Camera name", "Kind", "Version", "Stored size"}}};
        for (const CameraItem& c : camera) {
            if (c.record == nullptr) {
                table.rows.push_back({"#" + std::to_string(c.slot), "(record could not be read)"});
                continue;
            }
            const ProgramInfoRecord& r = *c.record;
            table.rows.push_back({"#" + std::to_string(c.slot), RecordDisplayText(r), DottedCameraName(r.CameraName()),
                                  KindText(r.Kind()), VersionText(r.Version()), std::to_string(r.StoredSize())});
        }
        out << table.Text();
    }
    if (freeMemory >= 0)
        out << "Free memory: " << freeMemory << " bytes\n";
    else
        out << "Free memory: could not be read\n";
    out.flush();
}

// The start of list, upload and remove: --folder checked (when the folder
// is read), the camera connected and the catalogs filled, then `run`; the
// exit status of the first step that failed, else run's.
int WithCatalogs(const CliOptions& options, CliContext& context, bool folder,
                 const std::function<int(CliSession&, ProgramCatalog&)>& run)
{
    if (folder) {
        if (const int status = CheckFolderOption(options, context); status != kExitOk)
            return status;
    }
    CliSession session(options, context);
    if (const int status = session.Connect(); status != kExitOk)
        return status;
    ProgramCatalog catalog(session.Holder());
    if (const int status = FillCatalogs(session, catalog, folder, true); status != kExitOk)
        return status;
    return run(session, catalog);
}

int ListCatalogs(const CliOptions& options, CliContext& context, CliSession& session, ProgramCatalog& catalog)
{
    CProgramTransfer transfer(session.Holder(), catalog, catalog.FolderList(), catalog.CameraList());
    const int freeMemory = transfer.ReadFreeMemory();
    PrintList(options, context, catalog, freeMemory);
    if (Interrupted()) {
        session.Error("interrupted");
        return kExitInterrupted;
    }
    if (catalog.cameraCount < 0) {
        session.Error("The number of programs in the camera could not be read.");
        return kExitFailed;
    }
    if (freeMemory < 0) {
        session.Error("The camera's free memory could not be read.");
        return kExitFailed;
    }
    if (const std::vector<int> unread = catalog.UnreadSlots(); !unread.empty()) {
        std::string slots;
        for (const int slot : unread)
            slots += (slots.empty() ? "#" : ", #") + std::to_string(slot);
        session.Error(std::to_string(unread.size()) + (unread.size() == 1 ? " program record" : " program records") +
                      " in the camera could not be read (" + slots + "); uploads store nothing while they are " +
                      "unknown (--force overrides).");
        return kExitFailed;
    }
    return kExitOk;
}

int UploadNamed(const CliOptions& options, CliContext& context, CliSession& session, ProgramCatalog& catalog)
{
    std::vector<NameCandidate> candidates, unusable;
    for (const FolderItem& f : FolderItems(catalog)) {
        candidates.push_back({{f.entry->fileName, f.entry->DisplayName()},
                              "\"" + f.entry->DisplayText() + "\" (" + f.entry->FileNameText() + ")",
                              {f.entry->FileNameText(), f.entry->DisplayText()}});
    }
    for (const ProgramCatalog::UnusableFile& f : catalog.unusableFiles) {
        const std::string shown = ui::ReadableText(f.fileName);
        unusable.push_back({{f.fileName}, "\"" + shown + "\" cannot be uploaded: " + f.reason + ".", {shown}});
    }
    for (const std::string& name : catalog.unnamedFiles) {
        const std::string shown = ui::ReadableText(name);
        unusable.push_back({{name},
                            "\"" + shown + "\" cannot be uploaded: its name has no camera name "
                                            "(at most 8 characters, a dot and 3 characters).",
                            {shown}});
    }
    return RunOnNamed(options, context, session, catalog, candidates, unusable,
                      "in the folder " + ui::ReadableText(catalog.folderPath), "Name one by its file name.", true);
}

int RemoveNamed(const CliOptions& options, CliContext& context, CliSession& session, ProgramCatalog& catalog)
{
    std::vector<NameCandidate> candidates, unusable;
    for (const CameraItem& c : CameraItems(catalog)) {
        const ProgramInfoRecord empty;
        const ProgramInfoRecord& r = c.record != nullptr ? *c.record : empty;
        const std::string dotted = DottedCameraName(r.CameraName());
        candidates.push_back({{RecordDisplayName(r), DottedCameraBytes(r.CameraName()), "#" + std::to_string(c.slot)},
                              "#" + std::to_string(c.slot) + " \"" + RecordDisplayText(r) + "\" (" + dotted + ")",
                              {RecordDisplayText(r), dotted}});
    }
    for (int slot = 1; slot <= catalog.cameraCount; ++slot) {
        const ProgramInfoRecord& r = *catalog.RecordAt(slot);
        const std::string number = "#" + std::to_string(slot);
        if (catalog.IsUnreadRecord(slot)) {
            unusable.push_back(
                {{number}, "\"" + number + "\" cannot be erased: its record could not be read, so what it holds is "
                                            "unknown.",
                 {}});
        } else if (r.Kind() == kKindHost) {
            const std::string dotted = DottedCameraName(r.CameraName());
            unusable.push_back({{RecordDisplayName(r), DottedCameraBytes(r.CameraName()), number},
                                "\"" + dotted + "\" cannot be erased by name: it is a host application, erased "
                                                 "with the last of its attachments.",
                                {RecordDisplayText(r), dotted}});
        }
    }
    return RunOnNamed(options, context, session, catalog, candidates, unusable, "in the camera",
                      "Name one copy by its camera name or by #SLOT.", false);
}

} // namespace

int RunList(const CliOptions& options, CliContext& context)
{
    return WithCatalogs(options, context, true, [&](CliSession& session, ProgramCatalog& catalog) {
        return ListCatalogs(options, context, session, catalog);
    });
}

int RunUpload(const CliOptions& options, CliContext& context)
{
    return WithCatalogs(options, context, true, [&](CliSession& session, ProgramCatalog& catalog) {
        return UploadNamed(options, context, session, catalog);
    });
}

int RunRemove(const CliOptions& options, CliContext& context)
{
    return WithCatalogs(options, context, false, [&](CliSession& session, ProgramCatalog& catalog) {
        return RemoveNamed(options, context, session, catalog);
    });
}

} // namespace oskel::cli
