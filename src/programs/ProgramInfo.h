#pragma once

#include "programs/FolderEntry.h"
#include "protocol/ProgramInfoRecord.h"

#include <string>

namespace oskel {

// Fills record from entry as the camera will hold it after an upload: the
// camera name (cameraName's 12 bytes when given, else MakeCameraName of the
// entry's fileName), the 8 signature bytes, kind, application id and copy
// flag, the 40 display-name bytes as they are, size 0 and the version.
void BuildProgramInfo(ProgramInfoRecord* record, const FolderEntry& entry, const char* cameraName = nullptr);

// The record's display name (text field at offset 26, width 40) as bytes,
// and as the user sees it (ui::ReadableText).
std::string RecordDisplayName(const ProgramInfoRecord& record);
std::string RecordDisplayText(const ProgramInfoRecord& record);

// The version rule between a folder file and a stored program.
bool IsNewerThanStored(const FolderEntry& entry, const ProgramInfoRecord& record);

} // namespace oskel
