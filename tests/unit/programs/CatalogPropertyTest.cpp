// Random sequences of uploads and erasures applied to the camera's program
// store and, through AddCameraRecord and ForgetCameraSlot, to the catalog:
// after every step the catalog's slots, the camera list's item data and the
// id table agree with the camera's own numbering, and at the end with a
// catalog read afresh from the camera.
#include "programs/CameraName.h"
#include "programs/ProgramCatalog.h"
#include "programs/ProgramInfo.h"
#include "unit/programs/CatalogRig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace oskel::test {
namespace {

constexpr int kIds = 4;

int StoredKind(const emulator::StoredProgram& p) { return emulator::ProgramStore::ParseHex4(p.data.data() + 8); }
int StoredId(const emulator::StoredProgram& p) { return emulator::ProgramStore::ParseHex4(p.data.data() + 12); }

void ExpectInStep(const ProgramCatalog& catalog, ProgramCatalog& cameraList, const emulator::ProgramStore& store)
{
    ui::ListModel& list = cameraList.CameraList();
    ASSERT_EQ(catalog.cameraCount, store.Count());
    std::vector<int> listedSlots;
    int applications = 0;
    std::vector<int> hostSlot(kIds + 1, 0);
    std::vector<int> attachments(kIds + 1, 0);
    for (int slot = 1; slot <= store.Count(); ++slot) {
        const emulator::StoredProgram& p = *store.At(slot);
        const ProgramInfoRecord& record = *catalog.RecordAt(slot);
        ASSERT_EQ(std::memcmp(record.CameraName(), p.name.data(), kCameraNameSize), 0) << "slot " << slot;
        ASSERT_EQ(record.Kind(), StoredKind(p)) << "slot " << slot;
        const int kind = StoredKind(p);
        if (IsListedKind(kind))
            listedSlots.push_back(slot);
        applications += kind == kKindStandalone || kind == kKindHost;
        if (kind == kKindHost)
            hostSlot[static_cast<size_t>(StoredId(p))] = slot;
        if (kind == kKindAttachment)
            ++attachments[static_cast<size_t>(StoredId(p))];
    }
    ASSERT_EQ(list.GetCount(), static_cast<int>(listedSlots.size()));
    for (int i = 0; i < list.GetCount(); ++i) {
        const int slot = listedSlots[static_cast<size_t>(i)];
        ASSERT_EQ(ProgramCatalog::CameraSlotAt(list, i), slot) << "item " << i;
        ASSERT_EQ(list.GetText(i), RecordDisplayText(*catalog.RecordAt(slot))) << "item " << i;
    }
    ASSERT_EQ(catalog.applicationCount, applications);
    for (int id = 1; id <= kIds; ++id) {
        ASSERT_EQ(catalog.appIds[static_cast<size_t>(id)].cameraHostSlot, hostSlot[static_cast<size_t>(id)]) << id;
        ASSERT_EQ(catalog.appIds[static_cast<size_t>(id)].attachmentCount, attachments[static_cast<size_t>(id)]) << id;
    }
}

bool HostStored(const emulator::ProgramStore& store, int id)
{
    for (const emulator::StoredProgram& p : store.All()) {
        if (StoredKind(p) == kKindHost && StoredId(p) == id)
            return true;
    }
    return false;
}

TEST(CatalogProperty, RandomUploadsAndErasuresKeepCatalogAndCameraInStep)
{
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        emulator::CameraConfig config;
        for (const char* name : {"HOST1.FNC", "ATT1.ATC", "APP.FNC"}) {
            emulator::StoredProgram p;
            emulator::CameraNameFromFileName(name, &p.name);
            const bool host = name[0] == 'H';
            p.data = ProgramBytes(host ? "0004" : (name[1] == 'T' ? "0005" : "0003"), "0001", name);
            config.programs.push_back(p);
        }
        CatalogRig rig(config);
        ProgramCatalog& catalog = rig.catalog;
        emulator::ProgramStore& store = rig.camera.Programs();
        ASSERT_TRUE(catalog.RefreshCameraList(&catalog.CameraList()));
        ASSERT_NO_FATAL_FAILURE(ExpectInStep(catalog, catalog, store));

        std::mt19937 random(seed);
        int serial = 0;
        for (int step = 0; step < 300; ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            const bool add = store.Count() == 0 || (store.Count() < 30 && random() % 5 < 3);
            if (add) {
                const int id = 1 + static_cast<int>(random() % kIds);
                int kind = std::vector<int>{3, 4, 5, 5, 7}[random() % 5];
                if (kind == kKindHost && HostStored(store, id))
                    kind = kKindAttachment;
                const std::string fileName = "P" + std::to_string(++serial) + ".FNC";
                char hex[5];
                std::snprintf(hex, sizeof hex, "%04X", id);
                const auto bytes = ProgramBytes("000" + std::to_string(kind), hex, "Program " + std::to_string(serial));
                emulator::CameraName name{};
                ASSERT_TRUE(emulator::CameraNameFromFileName(fileName, &name));
                ASSERT_TRUE(store.Add(name, bytes));
                const FolderEntry entry = EntryOf(fileName, bytes);
                ASSERT_EQ(catalog.AddCameraRecord(entry, nullptr), store.Count());
            } else {
                const int slot = 1 + static_cast<int>(random() % static_cast<uint32_t>(store.Count()));
                ASSERT_TRUE(store.Erase(slot));
                ASSERT_TRUE(catalog.ForgetCameraSlot(slot));
            }
            ASSERT_NO_FATAL_FAILURE(ExpectInStep(catalog, catalog, store));
        }

        // What the camera reports now gives the same list and table.
        ProgramCatalog fresh(rig.holder);
        ASSERT_TRUE(fresh.RefreshCameraList(&fresh.CameraList()));
        ASSERT_NO_FATAL_FAILURE(ExpectInStep(fresh, fresh, store));
        ASSERT_NO_FATAL_FAILURE(ExpectInStep(catalog, fresh, store));
    }
}

} // namespace
} // namespace oskel::test
