#include "platform/RealTimeThreadPriority.h"

#include <algorithm>
#include <cerrno>
#include <linux/capability.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace oskel {
namespace {

id_t CurrentThreadId()
{
    return static_cast<id_t>(syscall(SYS_gettid));
}

bool IsRealTime(int policy)
{
    return policy == SCHED_FIFO || policy == SCHED_RR;
}

int SoftLimit(int resource)
{
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0)
        return 0;
    if (limit.rlim_cur == RLIM_INFINITY)
        return 99;
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 99));
}

} // namespace

bool LinuxSchedulerCalls::GetClass(Class* out)
{
    const int policy = sched_getscheduler(0);
    sched_param param{};
    if (policy < 0 || sched_getparam(0, &param) != 0)
        return false;
    out->policy = policy & ~SCHED_RESET_ON_FORK;
    out->priority = param.sched_priority;
    return true;
}

// A program the thread starts does not inherit the class; the flag is kept
// on the way back too, since an ordinary user may not clear it.
bool LinuxSchedulerCalls::SetClass(const Class& wanted)
{
    sched_param param{};
    param.sched_priority = wanted.priority;
    return sched_setscheduler(0, wanted.policy | SCHED_RESET_ON_FORK, &param) == 0;
}

bool LinuxSchedulerCalls::GetNice(int* out)
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, CurrentThreadId());
    if (nice == -1 && errno != 0)
        return false;
    *out = nice;
    return true;
}

bool LinuxSchedulerCalls::SetNice(int nice)
{
    return setpriority(PRIO_PROCESS, CurrentThreadId(), nice) == 0;
}

bool LinuxSchedulerCalls::Privileged()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return geteuid() == 0;
    return (data[CAP_TO_INDEX(CAP_SYS_NICE)].effective & CAP_TO_MASK(CAP_SYS_NICE)) != 0;
}

int LinuxSchedulerCalls::RealTimeLimit()
{
    return SoftLimit(RLIMIT_RTPRIO);
}

int LinuxSchedulerCalls::NiceLimit()
{
    return SoftLimit(RLIMIT_NICE);
}

ThreadPriority::Saved RealTimeThreadPriority::Raise()
{
    Saved saved;
    SchedulerCalls::Class before;
    if (!m_calls.GetClass(&before) || IsRealTime(before.policy))
        return saved;
    const bool privileged = m_calls.Privileged();
    const int realTime = privileged ? kRealTimePriority : std::min(kRealTimePriority, m_calls.RealTimeLimit());
    if (realTime > 0 && m_calls.SetClass({SCHED_FIFO, realTime})) {
        saved.policy = before.policy;
        saved.classPriority = before.priority;
        return saved;
    }
    // RLIMIT_NICE allows a nice value down to 20 minus the limit.
    const int lowest = privileged ? kLowestNice : std::max(kLowestNice, 20 - m_calls.NiceLimit());
    int nice = 0;
    if (m_calls.GetNice(&nice) && lowest < nice && m_calls.SetNice(lowest)) {
        saved.value = nice;
        saved.valid = true;
    }
    return saved;
}

void RealTimeThreadPriority::Restore(const Saved& saved)
{
    if (saved.policy >= 0)
        (void)m_calls.SetClass({saved.policy, saved.classPriority});
    if (saved.valid)
        (void)m_calls.SetNice(saved.value);
}

RealTimeThreadPriority& RealTimeThreadPriority::Instance()
{
    static LinuxSchedulerCalls calls;
    static RealTimeThreadPriority instance(calls);
    return instance;
}

} // namespace oskel
