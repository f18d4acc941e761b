#include "platform/ThreadPriority.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace oskel {
namespace {

id_t CurrentThreadId()
{
    return static_cast<id_t>(syscall(SYS_gettid));
}

constexpr int kTimeCriticalNice = -20;

} // namespace

ThreadPriority::Saved NiceThreadPriority::Raise()
{
    Saved saved;
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, CurrentThreadId());
    if (current == -1 && errno != 0)
        return saved;
    saved.value = current;
    saved.valid = true;
    // Refused without the privilege: the thread simply keeps its priority.
    (void)setpriority(PRIO_PROCESS, CurrentThreadId(), kTimeCriticalNice);
    return saved;
}

void NiceThreadPriority::Restore(const Saved& saved)
{
    if (saved.valid)
        (void)setpriority(PRIO_PROCESS, CurrentThreadId(), saved.value);
}

NiceThreadPriority& NiceThreadPriority::Instance()
{
    static NiceThreadPriority instance;
    return instance;
}

} // namespace oskel
