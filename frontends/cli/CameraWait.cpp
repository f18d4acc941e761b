#include "CameraWait.h"

#include "CliInterrupt.h"

#include <algorithm>
#include <poll.h>

namespace oskel::cli {
namespace {

constexpr auto kRetryPeriod = std::chrono::seconds(2);
// An interrupt wakes poll(); the slice bounds the wait should it arrive
// just before poll() began.
constexpr auto kSlice = std::chrono::milliseconds(250);
// udev names and permits a new device in the moments after it appears.
constexpr auto kSettle = std::chrono::milliseconds(200);

} // namespace

CameraWait::CameraWait(int seconds, const std::vector<std::string>& namedDevices)
    : m_watch(namedDevices), m_limited(seconds >= 0), m_deadline(Clock::now() + std::chrono::seconds(seconds))
{
}

bool CameraWait::Next()
{
    Clock::time_point due = Clock::now() + kRetryPeriod;
    bool arrived = false;
    for (;;) {
        if (Interrupted())
            return false;
        const Clock::time_point now = Clock::now();
        if (TimeUp(now))
            return false;
        if (now >= due)
            return true;
        Clock::time_point until = std::min(due, now + kSlice);
        if (m_limited)
            until = std::min(until, m_deadline);
        pollfd p{m_watch.Fd(), POLLIN, 0};
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
        if (poll(&p, 1, static_cast<int>(ms)) > 0 && m_watch.TakeArrivals() && !arrived) {
            arrived = true;
            due = std::min(due, Clock::now() + kSettle);
        }
    }
}

} // namespace oskel::cli
