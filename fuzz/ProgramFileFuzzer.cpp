// Program files and camera names: any bytes as a file (read through the
// folder scan's own call), any file name, any camera catalog. The header
// is checked as the catalog checks it, the directory record built from it
// must carry exactly its fields, and the name rules must keep within their
// 12 bytes and never hand out a copy name the camera already holds.
#include "FuzzCheck.h"

#include "camera/CameraHolder.h"
#include "platform/ProfileFile.h"
#include "programs/CameraName.h"
#include "programs/FolderEntry.h"
#include "programs/ProgramCatalog.h"
#include "programs/ProgramFile.h"
#include "programs/ProgramHeader.h"
#include "programs/ProgramInfo.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace oskel;

// One folder for the whole run, holding the one candidate file.
struct Folder {
    Folder()
    {
        path = "/tmp/oskel-fuzz-programs-" + std::to_string(getpid());
        mkdir(path.c_str(), 0700);
        fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    std::string path;
    int fd = -1;
};

Folder& TheFolder()
{
    static Folder folder;
    return folder;
}

// A catalog needs a camera holder; neither is ever destroyed, so the
// connection never writes its settings back.
ProgramCatalog& TheCatalog()
{
    static ProfileFile* settings = new ProfileFile(TheFolder().path + "/QUIVRAN.INI");
    static CCameraHolder* holder = new CCameraHolder(*settings);
    static ProgramCatalog* catalog = new ProgramCatalog(*holder);
    return *catalog;
}

void CheckHeaderAndRecord(const uint8_t* header, const std::string& fileName, int32_t scannedSize, bool givenName)
{
    for (bool plus : {false, true}) {
        if (!IsValidHeader(header, plus))
            continue;
        FUZZ_CHECK(std::memcmp(header, plus ? "KAVRA+~" : "KAVRA~", plus ? 7 : 6) == 0);
        for (int offset : {kHeaderKindOffset, kHeaderAppIdOffset, kHeaderCopyFlagOffset, kHeaderVersionOffset})
            FUZZ_CHECK(ParseHex4(header + offset) >= 0);
    }
    FolderEntry entry;
    std::memcpy(entry.header, header, kProgramHeaderSize);
    entry.fileName = fileName;
    entry.fileSize = scannedSize;
    (void)entry.DisplayText();
    (void)entry.FileNameText();

    char name[kCameraNameSize];
    const bool named = MakeCameraName(fileName, name);
    ProgramInfoRecord record;
    BuildProgramInfo(&record, entry, givenName && named ? name : nullptr);
    FUZZ_CHECK(std::memcmp(record.CameraName(), name, kCameraNameSize) == 0);
    FUZZ_CHECK(std::memcmp(record.Signature(), header, ProgramInfoRecord::kSignatureSize) == 0);
    FUZZ_CHECK(record.Kind() == static_cast<uint16_t>(entry.Kind()));
    FUZZ_CHECK(record.AppId() == static_cast<uint16_t>(entry.AppId()));
    FUZZ_CHECK(record.CopyFlag() == static_cast<uint16_t>(entry.CopyFlag()));
    FUZZ_CHECK(record.Version() == static_cast<uint16_t>(entry.Version()));
    FUZZ_CHECK(record.StoredSize() == 0);
    FUZZ_CHECK(std::memcmp(record.DisplayNameField(), header + kHeaderDisplayNameOffset,
                           ProgramInfoRecord::kDisplayNameSize) == 0);
    FUZZ_CHECK(RecordDisplayName(record) == entry.DisplayName());
    (void)RecordDisplayText(record);
}

void CheckCameraName(const std::string& fileName)
{
    // Exactly 12 bytes on the heap: a 13th written is an overflow.
    std::unique_ptr<char[]> name(new char[kCameraNameSize]);
    const bool named = MakeCameraName(fileName, name.get());
    const size_t dot = fileName.find('.');
    FUZZ_CHECK(named == (dot != std::string::npos && dot >= 1 && dot <= 8 && fileName.size() - dot - 1 >= 3));
    if (!named) {
        for (int i = 0; i < kCameraNameSize; ++i)
            FUZZ_CHECK(name[i] == 0);
        return;
    }
    FUZZ_CHECK(std::memcmp(name.get(), fileName.data(), dot) == 0);
    for (size_t i = dot; i < 8; ++i)
        FUZZ_CHECK(name[i] == ' ');
    FUZZ_CHECK(std::memcmp(name.get() + 8, fileName.data() + dot + 1, 3) == 0);
    FUZZ_CHECK(name[11] == 0);
    FUZZ_CHECK(CameraNamesEqual(name.get(), name.get()));
    (void)CameraNameText(name.get());
}

// The camera holds some names; the next copy name must be free, or '6'.
void CheckNextCopyName(FuzzedDataProvider& in)
{
    ProgramCatalog& catalog = TheCatalog();
    const std::vector<uint8_t> base = in.ConsumeBytes<uint8_t>(kCameraNameSize);
    char start[kCameraNameSize] = {};
    std::copy(base.begin(), base.end(), start);
    int p = 7;
    for (int i = 0; i < 7; ++i) {
        if (start[i] == ' ') {
            p = i;
            break;
        }
    }
    const int count = in.ConsumeIntegralInRange(0, 8);
    catalog.cameraRecords.assign(static_cast<size_t>(count) + 1, ProgramInfoRecord{});
    catalog.cameraCount = count;
    for (int slot = 1; slot <= count; ++slot) {
        char* held = catalog.cameraRecords[static_cast<size_t>(slot)].CameraName();
        std::memcpy(held, start, kCameraNameSize);
        held[p] = static_cast<char>('2' + in.ConsumeIntegralInRange(0, 4));
        if (in.ConsumeBool() && held[0] >= 'a' && held[0] <= 'z')
            held[0] = static_cast<char>(held[0] - 'a' + 'A'); // case does not matter
    }
    std::unique_ptr<char[]> name(new char[kCameraNameSize]);
    std::memcpy(name.get(), start, kCameraNameSize);
    NextCopyName(name.get(), catalog);
    for (int i = 0; i < kCameraNameSize; ++i) {
        if (i != p)
            FUZZ_CHECK(name[i] == start[i]);
    }
    FUZZ_CHECK(name[p] >= '2' && name[p] <= '6');
    if (name[p] <= '5')
        FUZZ_CHECK(catalog.FindInCamera(name.get()) < 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string fileName = in.ConsumeRandomLengthString(24);
    CheckCameraName(fileName);
    CheckNextCopyName(in);

    const bool givenName = in.ConsumeBool();
    const std::vector<uint8_t> file = in.ConsumeRemainingBytes<uint8_t>();
    Folder& folder = TheFolder();
    const char* candidate = "CANDIDATE.FNC";
    {
        const int fd = openat(folder.fd, candidate, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        FUZZ_CHECK(fd >= 0);
        FUZZ_CHECK(write(fd, file.data(), file.size()) == static_cast<ssize_t>(file.size()));
        close(fd);
    }
    uint8_t header[kProgramHeaderSize];
    int64_t fileSize = -1;
    const bool read = CProgramFile::ReadCandidate(folder.fd, candidate, header, &fileSize);
    FUZZ_CHECK(read == (file.size() >= static_cast<size_t>(kProgramHeaderSize)));
    FUZZ_CHECK(read == CProgramFile(folder.path + "/" + candidate).ReadHeader(header));
    if (!read)
        return 0;
    FUZZ_CHECK(fileSize == static_cast<int64_t>(file.size()));
    FUZZ_CHECK(std::memcmp(header, file.data(), kProgramHeaderSize) == 0);
    CheckHeaderAndRecord(header, fileName, fileSize, givenName);
    return 0;
}
