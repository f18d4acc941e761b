#include "rehearsal/DryRun.h"

#include "CliInterrupt.h"
#include "CliSession.h"
#include "report/OperationRecord.h"
#include "rehearsal/RehearsalCamera.h"
#include "terminal/TerminalText.h"

#include "camera/CameraConnection.h"
#include "programs/ProgramCatalog.h"
#include "transfer/ProgramTransfer.h"
#include "ui/MessageBox.h"

#include <memory>

namespace oskel::cli {
namespace {

std::string Would(const OperationRecord::Item& item)
{
    const std::string& o = item.outcome;
    std::string text = o == "uploaded"        ? "would be uploaded"
                       : o == "updated"       ? "would be updated (the older version replaced)"
                       : o == "copied"        ? "would be uploaded as one more copy"
                       : o == "skipped"       ? "would be skipped"
                       : o == "erased"        ? "would be erased"
                       : o == "failed"        ? "would be refused"
                       : o == "cancelled"     ? "would not be reached (cancelled)"
                       : o == "not confirmed" ? "would be kept: the removal is not confirmed"
                                              : o;
    if (!item.yesOption.empty())
        text += ": nobody could be asked; " + item.yesOption + " would answer Yes";
    if (!item.hostOutcome.empty())
        text += std::string(", its host \"") + item.host + "\" " +
                (item.hostOutcome == "updated" ? "updated first" : "brought along");
    return text;
}

std::string MessageLine(const OperationRecord::Message& m)
{
    return "      " + m.text + " " +
           (m.asks ? std::string("(asks; rehearsed as ") + TerminalFrontEnd::ButtonName(m.answer) + ")"
                   : std::string("[answered ") + TerminalFrontEnd::ButtonName(m.answer) + "]") +
           "\n";
}

std::string ProgramLine(const OperationRecord::Program& p)
{
    if (p.unread)
        return "#" + std::to_string(p.slot) + " (record could not be read)";
    return "#" + std::to_string(p.slot) + " \"" + p.name + "\" (" + p.cameraName + ")";
}

void PrintReport(std::ostream& out, const OperationRecord& record, bool upload)
{
    out << "Dry run: nothing was changed in the camera. The " << (upload ? "upload" : "removal") << " would go so:\n";
    std::vector<OperationRecord::Message> shown;
    for (const OperationRecord::Item& item : record.Items()) {
        out << "  \"" << item.name << "\" (" << item.cameraName << "): " << Would(item) << '\n';
        for (const OperationRecord::Message& m : item.messages)
            out << MessageLine(m);
    }
    if (!upload) {
        for (const OperationRecord::Program& p : record.AlsoErased())
            out << "  also erased: " << ProgramLine(p) << '\n';
        for (const OperationRecord::Message& m : record.AllMessages())
            out << MessageLine(m);
    }
    out << "The camera would then hold:\n";
    if (record.CameraAfter().empty())
        out << "  (none)\n";
    for (const OperationRecord::Program& p : record.CameraAfter())
        out << "  " << ProgramLine(p) << '\n';
}

} // namespace

int RunDryRun(const CliOptions& options, CliContext& context, CliSession& session, ProgramCatalog& catalog,
              const std::vector<int>& chosen, bool upload)
{
    CProgramTransfer reader(session.Holder(), catalog, catalog.FolderList(), catalog.CameraList());
    std::string why;
    std::optional<emulator::CameraConfig> config =
        RehearsalCamera::Seed(session.Connection(), catalog, reader.ReadFreeMemory(), &why);
    if (!config) {
        session.Error(why);
        return kExitFailed;
    }
    // The rehearsal works on the catalogs just read, as the real run would:
    // the one folder scan and the camera's records, unread slots included.
    RehearsalCamera rehearsal(std::move(*config), session.Connection().Platform());
    ui::ListModel& list = upload ? catalog.FolderList() : catalog.CameraList();
    for (const int index : chosen)
        list.SetSel(index, true);

    const bool asks = options.answers == AnswerPolicy::Ask && context.prompt != nullptr;
    TerminalFrontEnd& frontEnd = session.FrontEnd();
    const size_t firstBox = frontEnd.Shown().size();
    frontEnd.SetRehearsal(asks ? AnswerPolicy::Yes : options.answers);
    OperationRecord record(catalog, frontEnd.Shown(), 0);
    if (asks)
        record.MarkQuestionsAsked();
    ProgramTransferHooks hooks;
    hooks.uploadBesideUnreadRecords = options.force;
    hooks.makeProgressView = [&record] {
        return record.WrapView(std::make_unique<ui::RecordedProgressView>(), nullptr);
    };
    CProgramTransfer transfer(rehearsal.Holder(), catalog, catalog.FolderList(), catalog.CameraList(),
                              std::move(hooks));
    record.Begin(list, upload);
    if (upload)
        transfer.UploadSelected();
    else
        transfer.RemoveSelected();
    record.End();
    frontEnd.SetRehearsal(std::nullopt);
    if (Interrupted()) {
        session.Error("interrupted");
        return kExitInterrupted;
    }

    if (options.json)
        context.out << record.Json(upload ? "upload" : "remove", true, transfer.ReadFreeMemory()) << '\n';
    else
        PrintReport(context.out, record, upload);
    context.out.flush();
    return OperationRecord::ShowsFailure(frontEnd.Shown(), firstBox) ? kExitFailed : kExitOk;
}

} // namespace oskel::cli
