#pragma once

namespace oskel {

// Bit 30 of a stored port index or speed marks the automatic choice; in
// dialogs and connection operations the automatic choice is -1.
constexpr int SETTING_AUTO = 0x40000000;
constexpr int kAutomaticChoice = -1;

constexpr const char* kCommSection = "Communication";
constexpr const char* kPortKey = "Port";
constexpr const char* kSpeedKey = "Speed";
constexpr const char* kMaxPortKey = "MaxPort";
constexpr const char* kCameraKey = "Camera";

constexpr int kDefaultPortSetting = SETTING_AUTO;          // automatic, COM1
constexpr int kDefaultSpeedSetting = SETTING_AUTO | 19200; // automatic, 19200
constexpr int kDefaultMaxPort = 9;
constexpr int kDefaultMaxPortWin32s = 4;
// The serial layer opens indexes 0 to 9: more names than that would offer
// ports that can never open.
constexpr int kMaxPortLimit = 10;

// Written to "Camera" when a camera of family 4 or 5 is admitted.
constexpr int kCameraValueFamily4 = 52;
constexpr int kCameraValueFamily5 = 82;

// The automatic speed climbs this ladder; on Win32s only its first three
// rungs.
constexpr int kSpeedLadder[] = {19200, 38400, 57600, 115200, 230400};
constexpr int kLadderRungs = 5;
constexpr int kLadderRungsWin32s = 3;

constexpr unsigned kSettleAfterDisconnectMs = 100;
constexpr unsigned kSettleBeforeReconnectMs = 50;

constexpr int kNoAnswerReg1 = 255;
constexpr int kLowBatteryLevel = 20;

} // namespace oskel
