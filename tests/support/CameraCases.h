#pragma once

#include "emulator/CameraConfig.h"

namespace oskel::emulator {
class CameraEngine;
}

#include <cstdint>
#include <string>
#include <vector>

namespace oskel::test {

// Generated cases for comparing a dry run with the real run: a camera (its
// programs in slot order, some whose directory record the camera cannot
// give, its free memory), a program folder (programs of every kind in older,
// equal and newer versions, and files that look like programs but cannot be
// used), and what the user asks for (the names, upload or remove, and the
// answer to every question). The same seed gives the same case.
struct CaseFile {
    enum class Special { None, Dangling, Fifo };
    std::string name;
    std::vector<uint8_t> bytes;
    Special special = Special::None;
};

struct CameraCase {
    uint32_t seed = 0;
    emulator::CameraConfig camera;
    // Slots whose programs' records the camera cannot give (see
    // MakeRecordsUnreadable).
    std::vector<int> unreadSlots;
    bool modelTextFails = false; // every read of the model text fails
    std::vector<CaseFile> folder;
    // A file copied into the folder while the camera is read (after the
    // folder has been), or none (empty name).
    CaseFile lateFile;
    bool upload = true;
    std::vector<std::string> names;
    char answer = 'y'; // 'y', 'n' or 'c': --yes, --no, --cancel

    // One line per fact, for a failure report.
    std::string Describe() const;
};

CameraCase GenerateCameraCase(uint32_t seed);

// Makes camera (built from c.camera) answer every read of the records of the
// programs at c.unreadSlots with NAKs until the read fails, wherever those
// programs stand later; and copies c.lateFile into folder when a run first
// reads the camera's program count, unless *lateFileWritten (which it then
// sets). *lateFileWritten must outlive the camera's use.
void InstallCaseHooks(const CameraCase& c, emulator::CameraEngine& camera, const std::string& folder,
                      bool* lateFileWritten);

// Writes the case's folder into dir (which exists).
void WriteCaseFolder(const CameraCase& c, const std::string& dir);
void WriteCaseFile(const CaseFile& f, const std::string& dir);

} // namespace oskel::test
