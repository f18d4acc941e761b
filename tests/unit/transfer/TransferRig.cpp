#include "unit/transfer/TransferRig.h"

#include "programs/ProgramInfo.h"

#include <cstring>
#include <filesystem>
#include <map>
#include <ostream>

namespace oskel::test {

std::ostream& operator<<(std::ostream& out, const Box& box)
{
    return out << "{" << box.id << ", 0x" << std::hex << box.style << std::dec << "}";
}

namespace {

emulator::SampleProgram SampleOf(const ProgramDesc& desc)
{
    emulator::SampleProgram p;
    p.fileName = desc.fileName;
    p.kind = desc.kind;
    p.appId = desc.appId;
    p.copyFlag = desc.copyFlag;
    p.version = desc.version;
    p.displayName = desc.displayName.empty() ? desc.fileName : desc.displayName;
    p.size = desc.size;
    return p;
}

void Select(ui::ListModel& list, const std::vector<std::string>& texts)
{
    list.SetSel(-1, false);
    for (const std::string& text : texts) {
        bool found = false;
        for (int i = 0; i < list.GetCount(); ++i) {
            if (list.GetText(i) == text && !list.GetSel(i)) {
                list.SetSel(i, true);
                found = true;
                break;
            }
        }
        EXPECT_TRUE(found) << "no item " << text;
    }
}

} // namespace

TransferTest::TransferTest() : m_folder(dir / "programs/")
{
    CCameraConnection::ResetRunFlagsForTest();
    std::filesystem::create_directories(m_folder);
    settings = std::make_unique<ProfileFile>(dir / "QUIVRAN.INI");
}

TransferTest::~TransferTest()
{
    transfer.reset();
    catalog.reset();
    holder.reset();
    CCameraConnection::ResetRunFlagsForTest();
}

void TransferTest::AddFile(const ProgramDesc& desc)
{
    const std::vector<uint8_t> bytes = emulator::MakeProgramFile(SampleOf(desc));
    WriteFileBytes(m_folder + desc.fileName, std::string(bytes.begin(), bytes.end()));
}

void TransferTest::StoreInCamera(const ProgramDesc& desc)
{
    emulator::StoredProgram program;
    ASSERT_TRUE(emulator::CameraNameFromFileName(desc.fileName, &program.name));
    program.data = emulator::MakeProgramFile(SampleOf(desc));
    config.programs.push_back(std::move(program));
}

void TransferTest::Start(ListingFaults listing)
{
    camera = std::make_unique<emulator::CameraEngine>(config);
    line = std::make_unique<emulator::EmulatorLine>(clock, *camera);
    auto c = std::make_unique<TransferConnection>(*settings, CommEnvironment{&clock, line.get(), nullptr, nullptr});
    connection = c.get();
    holder = std::make_unique<CCameraHolder>(std::move(c));
    catalog = std::make_unique<ProgramCatalog>(*holder);
    ASSERT_TRUE(catalog->RefreshFolderList(&catalog->FolderList(), m_folder));
    connection->failCountReads = listing.failCountReads;
    connection->failRecordSlot = listing.failRecordSlot;
    ASSERT_TRUE(catalog->RefreshCameraList(&catalog->CameraList()));

    ProgramTransferHooks hooks;
    hooks.owner = &owner;
    hooks.makeProgressView = [this] {
        ownedViews.push_back(std::make_unique<ui::RecordedProgressView>());
        views.push_back(ownedViews.back().get());
        return std::make_unique<ForwardingView>(*views.back());
    };
    hooks.enableRemoveByCameraSelection = [this] { ++removeRuleCalls; };
    transfer = std::make_unique<CProgramTransfer>(*holder, *catalog, catalog->FolderList(), catalog->CameraList(),
                                                  std::move(hooks));
    ASSERT_TRUE(frontEnd->Boxes().empty());
}

void TransferTest::ReadCameraAgain()
{
    connection->failCountReads = 0;
    connection->failRecordSlot = 0;
    ASSERT_TRUE(catalog->RefreshCameraList(&catalog->CameraList()));
}

void TransferTest::Restart()
{
    ExpectInStep();
    transfer.reset();
    catalog.reset();
    holder.reset();
    line.reset();
    camera.reset();
    config = {};
    views.clear();
    removeRuleCalls = 0;
    m_folderTexts.clear();
    m_folderSelection.clear();
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    frontEnd.reset();
    frontEnd = std::make_unique<TestFrontEnd>();
}

void TransferTest::SelectFolder(const std::vector<std::string>& texts)
{
    Select(catalog->FolderList(), texts);
    m_folderTexts.clear();
    for (int i = 0; i < catalog->FolderList().GetCount(); ++i)
        m_folderTexts.push_back(catalog->FolderList().GetText(i));
    m_folderSelection = catalog->FolderList().GetSelItems();
}

void TransferTest::SelectCamera(const std::vector<std::string>& texts)
{
    Select(catalog->CameraList(), texts);
}

void TransferTest::AddFault(emulator::FaultKind kind, int nth, int times)
{
    emulator::Fault fault;
    fault.kind = kind;
    fault.nth = nth;
    fault.times = times;
    camera->Faults().Add(fault);
}

std::vector<Box> TransferTest::Boxes() const
{
    std::vector<Box> boxes;
    for (const TestFrontEnd::ShownBox& b : frontEnd->Boxes())
        boxes.push_back({b.helpId, b.type});
    return boxes;
}

std::vector<std::string> TransferTest::CameraTexts() const
{
    std::vector<std::string> texts;
    for (int i = 0; i < catalog->CameraList().GetCount(); ++i)
        texts.push_back(catalog->CameraList().GetText(i));
    return texts;
}

std::vector<std::string> TransferTest::StoredNames() const
{
    std::vector<std::string> names;
    for (const emulator::StoredProgram& p : camera->Programs().All())
        names.emplace_back(reinterpret_cast<const char*>(p.name.data()), 11);
    return names;
}

void TransferTest::ExpectInStep()
{
    const emulator::ProgramStore& store = camera->Programs();
    ASSERT_EQ(catalog->cameraCount, store.Count());
    int applications = 0;
    std::map<int, int> hostSlot;
    std::map<int, int> attachments;
    std::vector<std::pair<std::string, int>> shown;
    for (int slot = 1; slot <= store.Count(); ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        emulator::DirectoryRecord bytes{};
        ASSERT_TRUE(store.Record(slot, &bytes));
        ProgramInfoRecord actual;
        std::memcpy(actual.bytes, bytes.data(), sizeof actual.bytes);
        actual.DecodeFromWire();
        const ProgramInfoRecord* held = catalog->RecordAt(slot);
        ASSERT_NE(held, nullptr);
        // Everything but the stored size, which a record built after an upload leaves 0.
        EXPECT_EQ(std::memcmp(held->bytes, actual.bytes, ProgramInfoRecord::kStoredSizeOffset), 0);
        EXPECT_EQ(held->Version(), actual.Version());
        switch (actual.Kind()) {
        case 3:
            ++applications;
            shown.emplace_back(RecordDisplayText(actual), slot);
            break;
        case 4:
            ++applications;
            hostSlot[actual.AppId()] = slot;
            break;
        case 5:
            ++attachments[actual.AppId()];
            shown.emplace_back(RecordDisplayText(actual), slot);
            break;
        default:
            break;
        }
    }
    EXPECT_EQ(catalog->applicationCount, applications);
    for (size_t id = 0; id < catalog->appIds.size(); ++id) {
        EXPECT_EQ(catalog->appIds[id].cameraHostSlot, hostSlot.count(static_cast<int>(id)) ? hostSlot[static_cast<int>(id)] : 0) << "id " << id;
        EXPECT_EQ(catalog->appIds[id].attachmentCount, attachments.count(static_cast<int>(id)) ? attachments[static_cast<int>(id)] : 0) << "id " << id;
    }
    const ui::ListModel& list = catalog->CameraList();
    ASSERT_EQ(list.GetCount(), static_cast<int>(shown.size()));
    for (int i = 0; i < list.GetCount(); ++i) {
        EXPECT_EQ(list.GetText(i), shown[static_cast<size_t>(i)].first) << "item " << i;
        EXPECT_EQ(ProgramCatalog::CameraSlotAt(list, i), shown[static_cast<size_t>(i)].second) << "item " << i;
    }
    if (!m_folderTexts.empty()) {
        const ui::ListModel& folder = catalog->FolderList();
        ASSERT_EQ(folder.GetCount(), static_cast<int>(m_folderTexts.size()));
        for (int i = 0; i < folder.GetCount(); ++i)
            EXPECT_EQ(folder.GetText(i), m_folderTexts[static_cast<size_t>(i)]);
        EXPECT_EQ(folder.GetSelItems(), m_folderSelection);
    }
}

} // namespace oskel::test
