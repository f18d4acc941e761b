#pragma once

#include "terminal/TerminalFrontEnd.h"

#include "protocol/ProgramInfoRecord.h"
#include "ui/ListModel.h"
#include "ui/ProgressView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace oskel {
class ProgramCatalog;
struct FolderEntry;
} // namespace oskel

namespace oskel::cli {

// What one upload or removal did, item by item, told from what a user can
// see: the camera catalog (which the transfer keeps in step with the camera,
// slot for slot) before and after each item, and the message boxes shown
// meanwhile with their answers. The same account serves the real run's
// --json and the dry run's rehearsal, so both tell outcomes the same way.
class OperationRecord {
public:
    using Boxes = std::vector<TerminalFrontEnd::ShownBox>;

    struct Message {
        unsigned id = 0;
        std::string text;
        int answer = 0;
        bool asks = false; // a question a terminal user would be asked
        bool unasked = false; // an erasing question answered No: nobody could be asked
    };
    struct Item {
        std::string name;       // display text
        std::string cameraName; // "PROG.FNC"
        // uploaded, updated, copied, skipped, erased, failed, cancelled,
        // not confirmed
        std::string outcome;
        std::string host;              // upload: the host's display text when it came along
        std::string hostOutcome;       // "uploaded" or "updated", else empty
        std::vector<Message> messages; // shown while this item was under way
        // Skipped because nobody could be asked: the option that does it ("--yes").
        std::string yesOption;
    };
    struct Program {
        int slot = 0;
        std::string name;
        std::string cameraName;
        int version = 0;
        int kind = 0;
        int64_t storedSize = 0;
        bool unread = false; // a slot whose record could not be read: nothing else is known
    };

    // `boxes` is the front end's list of boxes shown; everything shown from
    // `firstBox` on (by default: from now on) belongs to this operation, so
    // the connect's battery warning can be counted in.
    OperationRecord(ProgramCatalog& catalog, const Boxes& boxes, size_t firstBox = static_cast<size_t>(-1));

    // Before the operation: the items it works on are the list's selection
    // (the folder list's for an upload, the camera list's for a removal).
    void Begin(const ui::ListModel& list, bool upload);
    // After it.
    void End();

    // A progress window for the upload: passes everything on to `inner` and
    // notes where each item begins (its message); `onStats` gets every step,
    // with the name of the file under way: an attachment's host brought
    // along is named as itself (`host` true), not as the attachment.
    struct StepName {
        std::string name;       // display text
        std::string cameraName; // "PROG.FNC"
        bool host = false;
    };
    using StatsHook = std::function<void(int item, const StepName& name, const ui::TransferStats&)>;
    std::unique_ptr<ui::IProgressView> WrapView(std::unique_ptr<ui::IProgressView> inner, StatsHook onStats);

    // Marks the questions as ones a terminal user would be asked (dry run).
    void MarkQuestionsAsked() { m_questionsAsked = true; }

    const std::vector<Item>& Items() const { return m_items; }
    // Erased besides the items named: hosts and leftovers (remove).
    const std::vector<Program>& AlsoErased() const { return m_alsoErased; }
    // Every box of the operation, in order, and the camera's list afterwards.
    std::vector<Message> AllMessages() const;
    std::vector<Program> CameraAfter() const;

    // The one JSON object of --json; `freeMemoryAfter` < 0: not read.
    std::string Json(const std::string& command, bool dryRun, int freeMemoryAfter) const;

    // Whether the boxes shown from `first` on tell that the operation did
    // not go through: a failure (exclamation or plain box), a Cancel, the
    // removal's confirmation not given, or the low-battery warning not
    // answered OK. A declined update or a skipped item is no failure.
    static bool ShowsFailure(const Boxes& boxes, size_t first);

private:
    class ItemView;
    using Snapshot = std::vector<ProgramInfoRecord>;

    Snapshot Take() const;
    void ItemStarts();
    void ClassifyUpload();
    void ClassifyRemove();
    std::vector<Message> MessagesBetween(size_t from, size_t to) const;
    // The host an attachment item brings along, when it is in the folder.
    const FolderEntry* HostOf(size_t item) const;
    Message MessageAt(size_t index) const;

    ProgramCatalog& m_catalog;
    const Boxes& m_boxes;
    size_t m_firstBox;
    bool m_upload = true;
    bool m_questionsAsked = false;
    std::vector<const FolderEntry*> m_entries;
    std::vector<Item> m_items;
    std::vector<ProgramInfoRecord> m_removed; // records of the slots to remove
    std::vector<Snapshot> m_snapshots;        // before each started item, then the end
    std::vector<size_t> m_boxMarks;           // boxes.size() at the same moments
    std::vector<Program> m_alsoErased;
};

} // namespace oskel::cli
