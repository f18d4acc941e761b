#pragma once

#include <cstdint>

namespace oskel {

// Named waits of the camera's long operations (ms).
constexpr uint32_t kUploadSettleMs = 1500;         // last data packet to action 11
constexpr uint32_t kAfterUploadActionMs = 300;     // after action 11 is acknowledged
constexpr uint32_t kUploadEnqTimeoutMs = 15000;    // camera signals the end of an upload
constexpr uint32_t kReadyAfterEnqTimeoutMs = 7000; // readiness polls after ENQ
constexpr uint32_t kAfterDeleteActionMs = 300;     // after action 13 is acknowledged
constexpr uint32_t kDeleteEnqTimeoutMs = 40000;    // camera signals the end of a deletion
constexpr uint32_t kAfterSystemRegisterMs = 150;   // after reg 32 before the system data
constexpr uint32_t kSystemDataFixedWaitMs = 7000;  // instead of ENQ when the system flag is clear
constexpr uint32_t kFreeMemoryRecoveryMs = 10000;  // reg 51 could not be put back to 0

} // namespace oskel
