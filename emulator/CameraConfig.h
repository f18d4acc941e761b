#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace oskel::emulator {

using CameraName = std::array<uint8_t, 12>;

// One program held in the camera: the name it was announced with and the
// whole file as it arrived.
struct StoredProgram {
    CameraName name{};
    std::vector<uint8_t> data;
};

// Everything that makes one emulated camera: identity texts, memory, the
// picture items, timing, and the programs it holds at power-on.
struct CameraConfig {
    // "SR82..." is read as camera family 5, supported outright.
    std::string modelText = "SR82 OSKEL camera emulator";
    std::string cameraId = "OSKEL-EMU-000001";
    std::string cameraVersion = "EMU 1.00";
    std::string text25 = "OSKEL";
    std::string text37;

    uint32_t capacityBytes = 512u * 1024u; // program memory
    int32_t battery = 100;                 // register 16
    int itemCount = 3;                     // pictures in the camera (register 10)

    uint32_t answerDelayUs = 1000;   // from the end of a packet to the start of the answer
    uint32_t enqDelayMs = 200;       // action finished, for actions not listed below
    uint32_t uploadEnqDelayMs = 800; // action 11
    uint32_t eraseEnqDelayMs = 1200; // action 13
    uint32_t readyDelayMs = 100;     // register 18 stays 0 this long after ENQ
    int objectPacketSize = 512;      // data bytes in each packet the camera sends

    std::vector<StoredProgram> programs;
};

// Byte-string registers and how many bytes each holds.
int TextRegisterSize(int reg); // 0 when reg is not a text register

// The program signature this camera accepts: "KAVRA~" for a model text read
// as family 4 ("SR52", "SR35"), "KAVRA+~" for every other.
std::string AcceptedSignature(const std::string& modelText);

// The camera name for a file name: the part before the first '.', padded
// with blanks to 8, the three characters after it, and NUL. False when the
// part before the '.' is longer than 8 characters or empty.
bool CameraNameFromFileName(const std::string& fileName, CameraName* name);

// "PROG.FNC" from "PROG    FNC": the camera name as a file name.
std::string FileNameFromCameraName(const CameraName& name);

} // namespace oskel::emulator
