#pragma once

#include "camera/CameraConnection.h"
#include "camera/CameraHolder.h"
#include "emulator/CameraEngine.h"
#include "emulator/EmulatorLine.h"
#include "emulator/SamplePrograms.h"
#include "platform/ProfileFile.h"
#include "platform/VirtualTimeSource.h"
#include "programs/FolderEntry.h"
#include "programs/ProgramCatalog.h"
#include "support/TempDir.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace oskel::test {

// A program file's bytes: header fields as four hex digits, a made-up body.
inline std::vector<uint8_t> ProgramBytes(const std::string& kind, const std::string& appId, const std::string& name,
                                         const std::string& version = "0100", const std::string& copyFlag = "0000",
                                         size_t size = 200, const std::string& signature = "KAVRA+~")
{
    emulator::SampleProgram p;
    p.fileName = name + ".fnc";
    p.kind = kind;
    p.appId = appId;
    p.copyFlag = copyFlag;
    p.version = version;
    p.displayName = name;
    p.size = size;
    p.signature = signature;
    return emulator::MakeProgramFile(p);
}

inline FolderEntry EntryOf(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
    FolderEntry entry;
    std::memcpy(entry.header, bytes.data(), kProgramHeaderSize);
    entry.fileName = fileName;
    entry.fileSize = static_cast<int32_t>(bytes.size());
    return entry;
}

// The real connection, except that chosen directory reads fail and the
// program count can be replaced.
class StoreConnection : public CCameraConnection {
public:
    using CCameraConnection::CCameraConnection;
    int GetProgramCount() override { return countOverride ? *countOverride : CCameraConnection::GetProgramCount(); }
    int ReadProgramInfo(int slot, ProgramInfoRecord* record) override
    {
        if (slot == failingSlot)
            return 0;
        return CCameraConnection::ReadProgramInfo(slot, record);
    }
    int failingSlot = 0;
    std::optional<int> countOverride;
};

// A catalog whose camera holder reaches the in-process camera over the
// emulated line, in virtual time; ports lists where the camera answers.
struct CatalogRig {
    explicit CatalogRig(emulator::CameraConfig config = {}, std::vector<int> ports = {0})
        : settings(dir / "QUIVRAN.INI"), camera(std::move(config)), line(clock, camera, std::move(ports)),
          holder(MakeConnection()), catalog(holder)
    {
    }
    ~CatalogRig() { CCameraConnection::ResetRunFlagsForTest(); }

    std::unique_ptr<CCameraConnection> MakeConnection()
    {
        CCameraConnection::ResetRunFlagsForTest();
        auto c = std::make_unique<StoreConnection>(settings, CommEnvironment{&clock, &line, nullptr, nullptr});
        connection = c.get();
        return c;
    }

    TempDir dir;
    ProfileFile settings;
    VirtualTimeSource clock;
    emulator::CameraEngine camera;
    emulator::EmulatorLine line;
    StoreConnection* connection = nullptr;
    CCameraHolder holder;
    ProgramCatalog catalog;
};

} // namespace oskel::test
