#pragma once

#include "camera/CameraConnection.h"
#include "camera/CameraHolder.h"
#include "emulator/CameraEngine.h"
#include "emulator/EmulatorLine.h"
#include "emulator/SamplePrograms.h"
#include "platform/ProfileFile.h"
#include "platform/VirtualTimeSource.h"
#include "programs/ProgramCatalog.h"
#include "support/TempDir.h"
#include "support/TestFrontEnd.h"
#include "transfer/ProgramTransfer.h"
#include "ui/MessagePump.h"
#include "ui/OwnerWindow.h"
#include "ui/ProgressView.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace oskel::test {

// One program file: header fields as they stand in the header.
struct ProgramDesc {
    std::string fileName;
    std::string kind = "0003";
    std::string appId = "0000";
    std::string version = "0100";
    std::string copyFlag = "0000";
    std::string displayName; // empty: the file name
    size_t size = 600;
};

inline ProgramDesc App(const std::string& file, const std::string& version = "0100", size_t size = 600)
{
    return {file, "0003", "0000", version, "0000", "", size};
}
inline ProgramDesc Host(const std::string& file, const std::string& id, const std::string& version = "0100")
{
    return {file, "0004", id, version, "0000", "", 600};
}
inline ProgramDesc Attachment(const std::string& file, const std::string& id, const std::string& copyFlag = "0000")
{
    return {file, "0005", id, "0100", copyFlag, "", 600};
}

// A box as the transfer showed it: string id and style bits.
struct Box {
    unsigned id;
    unsigned style;
    bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Box& box);

// The real connection, except that the free-memory reading, the next
// program counts and one slot's directory record can be made to fail.
class TransferConnection : public CCameraConnection {
public:
    using CCameraConnection::CCameraConnection;
    int GetFreeMemory(int flag) override { return failFreeMemory ? -1 : CCameraConnection::GetFreeMemory(flag); }
    int GetProgramCount() override
    {
        if (failCountReads > 0) {
            --failCountReads;
            return -1;
        }
        return CCameraConnection::GetProgramCount();
    }
    int ReadProgramInfo(int slot, ProgramInfoRecord* record) override
    {
        return slot == failRecordSlot ? 0 : CCameraConnection::ReadProgramInfo(slot, record);
    }
    bool failFreeMemory = false;
    int failCountReads = 0;
    int failRecordSlot = 0;
};

// The main dialog as the owner of the progress window.
struct OwnerWindow : ui::IOwnerWindow {
    bool enabled = true;
    void EnableWindow(bool enable) override { enabled = enable; }
    bool IsWindowEnabled() const override { return enabled; }
};

// A pump that runs a test's callback on every Step.
struct CallbackPump : ui::IMessagePump {
    CallbackPump() { ui::SetMessagePump(this); }
    ~CallbackPump() override { ui::SetMessagePump(nullptr); }
    bool RunPending() override
    {
        if (onPump)
            onPump();
        return true;
    }
    std::function<void()> onPump;
};

// Hands a dialog a window that the test keeps after the dialog is gone.
class ForwardingView final : public ui::IProgressView {
public:
    explicit ForwardingView(ui::IProgressView& view) : m_view(view) {}
    bool Create(ui::IOwnerWindow* owner, std::function<void()> onCancel) override
    {
        return m_view.Create(owner, std::move(onCancel));
    }
    bool Destroy() override { return m_view.Destroy(); }
    bool Exists() const override { return m_view.Exists(); }
    void Show(bool show) override { m_view.Show(show); }
    bool IsVisible() const override { return m_view.IsVisible(); }
    void Repaint() override { m_view.Repaint(); }
    void SetCaption(const std::string& text) override { m_view.SetCaption(text); }
    void SetMessage(const std::string& text) override { m_view.SetMessage(text); }
    void SetBarRange(int low, int high) override { m_view.SetBarRange(low, high); }
    void SetBarPos(int pos) override { m_view.SetBarPos(pos); }
    void SetStats(const ui::TransferStats& stats) override { m_view.SetStats(stats); }

private:
    ui::IProgressView& m_view;
};

// Faults of the camera list's first reading.
struct ListingFaults {
    int failCountReads = 0; // that many program counts fail
    int failRecordSlot = 0; // this slot's record cannot be read
};

// Program files in a folder, the in-process camera with its initial store,
// the catalog filled from both, and the transfer class on top. Describe the
// folder and camera, then Start().
class TransferTest : public ::testing::Test {
protected:
    TransferTest();
    ~TransferTest() override;
    // Every test ends with the catalog in step with the camera.
    void TearDown() override
    {
        if (transfer)
            ExpectInStep();
    }

    void AddFile(const ProgramDesc& desc);
    void StoreInCamera(const ProgramDesc& desc);
    // `listing` faults apply while Start reads the camera list.
    void Start(ListingFaults listing = {});
    // Reads the camera list again without faults (for the closing check).
    void ReadCameraAgain();
    // Checks the catalog, then forgets camera, folder and answers for a fresh Start.
    void Restart();

    // Selects the folder (camera) list's items with these texts.
    void SelectFolder(const std::vector<std::string>& texts);
    void SelectCamera(const std::vector<std::string>& texts);

    std::vector<Box> Boxes() const;
    std::vector<std::string> CameraTexts() const;
    // The 11 characters of each stored program's name, slot order.
    std::vector<std::string> StoredNames() const;
    int64_t PacketsIn() const { return camera->Faults().Count(emulator::FaultEvent::PacketIn); }
    int64_t Erases() const { return camera->Faults().Count(emulator::FaultEvent::Erase); }
    void AddFault(emulator::FaultKind kind, int nth = 1, int times = 1);

    // The catalog, both lists and the id table against the camera's own
    // store; the folder list as it was at Start.
    void ExpectInStep();

    emulator::CameraConfig config;
    TempDir dir;
    std::unique_ptr<TestFrontEnd> frontEnd = std::make_unique<TestFrontEnd>();
    OwnerWindow owner;
    CallbackPump pump;
    std::unique_ptr<ProfileFile> settings;
    VirtualTimeSource clock;
    std::unique_ptr<emulator::CameraEngine> camera;
    std::unique_ptr<emulator::EmulatorLine> line;
    TransferConnection* connection = nullptr;
    std::unique_ptr<CCameraHolder> holder;
    std::unique_ptr<ProgramCatalog> catalog;
    std::unique_ptr<CProgramTransfer> transfer;
    // The progress windows made, in order; they outlive their dialogs.
    std::vector<ui::RecordedProgressView*> views;
    std::vector<std::unique_ptr<ui::RecordedProgressView>> ownedViews;
    int removeRuleCalls = 0;

private:
    std::string m_folder;
    std::vector<std::string> m_folderTexts;
    std::vector<int> m_folderSelection;
};

} // namespace oskel::test
