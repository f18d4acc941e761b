#pragma once

#include <cstdint>

namespace oskel::test {

// How much later than asked a real-time wait may end on a loaded machine
// (the whole suite side by side, or other builds: load averages of 20 on two
// processors). A runnable thread can be held off for hundreds of
// milliseconds there; a wait in the wrong unit or that never ends is still
// caught. Only the lower bounds say something exact.
constexpr uint32_t kSchedulingSlackMs = 1000;

} // namespace oskel::test
