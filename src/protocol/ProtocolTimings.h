#pragma once

#include <cstdint>

namespace oskel {

// Named waits and limits of the packet layer and the link handshake (ms).
constexpr int kPacketAttempts = 6;
constexpr int kControlByteReads = 6;
constexpr uint32_t kResendPauseMs = 55;
constexpr uint32_t kBigPacketPauseMs = 48;
constexpr int kBigPacketThreshold = 128;
constexpr uint32_t kRegisterRetryPauseMs = 300;
constexpr uint32_t kObjectErrorPauseMs = 500;
constexpr int kObjectErrorLimit = 6;
constexpr uint32_t kProbePauseMs = 800;
constexpr uint32_t kProbeAnswerWindowMs = 1200;
constexpr uint32_t kAfterLocalSpeedMs = 60;
// Longest step of a wait between two chances for the windows to stay alive.
constexpr uint32_t kKeepAliveStepMs = 100;

} // namespace oskel
