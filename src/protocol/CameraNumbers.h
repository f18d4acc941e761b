#pragma once

#include <cstdint>

namespace oskel {

// Registers, text registers, object kinds and action codes of the camera.
namespace reg {
constexpr uint8_t kLiveness = 1;
constexpr uint8_t kReg2 = 2;
constexpr uint8_t kReg3 = 3;
constexpr uint8_t kItemSelect = 4;
constexpr uint8_t kReg6 = 6;
constexpr uint8_t kReg7 = 7;
constexpr uint8_t kItemCount = 10;
constexpr uint8_t kReg11 = 11;
constexpr uint8_t kItemReg12 = 12;
constexpr uint8_t kItemReg13 = 13;
constexpr uint8_t kBattery = 16;
constexpr uint8_t kReady = 18;
constexpr uint8_t kReg23 = 23;
constexpr uint8_t kReg24 = 24;
constexpr uint8_t kFreeMemory = 28;
constexpr uint8_t kReg30 = 30;
constexpr uint8_t kSystemData = 32;
constexpr uint8_t kReg33 = 33;
constexpr uint8_t kReg35 = 35;
constexpr uint8_t kReg36 = 36;
constexpr uint8_t kReg38 = 38;
constexpr uint8_t kItemReg39 = 39;
constexpr uint8_t kFreeMemoryLatch = 51;
constexpr uint8_t kReg54 = 54;
constexpr uint8_t kProgramCount = 55;
constexpr uint8_t kProgramSelect = 56;
constexpr uint8_t kReg65 = 65;
} // namespace reg

namespace text {
constexpr uint8_t kCameraId = 22;
constexpr uint8_t kText25 = 25;
constexpr uint8_t kCameraVersion = 26;
constexpr uint8_t kModel = 27;
constexpr uint8_t kText37 = 37;

constexpr int kCameraIdSize = 32;
constexpr int kText25Size = 32;
constexpr int kCameraVersionSize = 32;
constexpr int kModelSize = 64;
constexpr int kText37Size = 256;
} // namespace text

namespace kind {
constexpr uint8_t kItem14 = 14;
constexpr uint8_t kItem15 = 15;
constexpr uint8_t kSystemData = 29;
constexpr uint8_t kItem44 = 44;
constexpr uint8_t kItemInfo = 47;
constexpr uint8_t kProgramInfo = 57;
constexpr uint8_t kProgram = 58;

constexpr int kItemInfoSize = 32;
} // namespace kind

namespace action {
constexpr uint8_t kAction0 = 0;
constexpr uint8_t kAction1 = 1;
constexpr uint8_t kAction2 = 2;
constexpr uint8_t kAction4 = 4;
constexpr uint8_t kAction5 = 5;
constexpr uint8_t kItemAction7 = 7;
constexpr uint8_t kItemAction9 = 9;
constexpr uint8_t kInstall = 11;       // after an upload
constexpr uint8_t kDeleteProgram = 13; // deletes the program selected by reg 56
} // namespace action

constexpr int kCameraNameSize = 12; // 11 characters and a NUL

} // namespace oskel
