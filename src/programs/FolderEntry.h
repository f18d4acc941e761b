#pragma once

#include "programs/ProgramHeader.h"

#include <cstdint>
#include <string>

namespace oskel {

// One valid program file found in the folder. Owned by the folder catalog.
struct FolderEntry {
    uint8_t header[kProgramHeaderSize] = {}; // exactly as read from the file
    std::string fileName;                    // as the directory scan reported it, bytes, no folder
    int32_t fileSize = 0; // from its status at scan time; 0 when that failed; INT32_MAX for larger files
    int64_t sizeOnDisk = 0; // the same status, not limited: what a listing shows

    // The parsed hex fields (-1 when a field does not parse; an entry in the
    // catalog always passed IsValidHeader).
    int Kind() const;
    int AppId() const;
    int CopyFlag() const;
    int Version() const;

    // The text field at header offset 52, width 40, as bytes.
    std::string DisplayName() const;
    // What the user sees: DisplayName and fileName through ui::ReadableText.
    // The folder list shows DisplayText; messages that insert the display
    // name or the file name use these.
    std::string DisplayText() const;
    std::string FileNameText() const;
};

} // namespace oskel
