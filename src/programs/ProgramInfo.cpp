#include "programs/ProgramInfo.h"

#include "programs/CameraName.h"
#include "ui/ReadableText.h"

#include <cstring>

namespace oskel {

void BuildProgramInfo(ProgramInfoRecord* record, const FolderEntry& entry, const char* cameraName)
{
    *record = ProgramInfoRecord{};
    if (cameraName != nullptr)
        std::memcpy(record->CameraName(), cameraName, kCameraNameSize);
    else
        MakeCameraName(entry.fileName, record->CameraName());
    std::memcpy(record->bytes + ProgramInfoRecord::kSignatureOffset, entry.header, ProgramInfoRecord::kSignatureSize);
    record->SetKind(static_cast<uint16_t>(entry.Kind()));
    record->SetAppId(static_cast<uint16_t>(entry.AppId()));
    record->SetCopyFlag(static_cast<uint16_t>(entry.CopyFlag()));
    std::memcpy(record->bytes + ProgramInfoRecord::kDisplayNameOffset, entry.header + kHeaderDisplayNameOffset,
                ProgramInfoRecord::kDisplayNameSize);
    record->SetStoredSize(0);
    record->SetVersion(static_cast<uint16_t>(entry.Version()));
}

std::string RecordDisplayName(const ProgramInfoRecord& record)
{
    return ReadTextField(record.DisplayNameField(), ProgramInfoRecord::kDisplayNameSize);
}

std::string RecordDisplayText(const ProgramInfoRecord& record)
{
    return ui::ReadableText(RecordDisplayName(record));
}

bool IsNewerThanStored(const FolderEntry& entry, const ProgramInfoRecord& record)
{
    return IsNewerVersion(static_cast<uint16_t>(entry.Version()), record.Version());
}

} // namespace oskel
