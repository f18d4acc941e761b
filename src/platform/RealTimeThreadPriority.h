#pragma once

#include "platform/ThreadPriority.h"

namespace oskel {

// What the boost asks of the kernel, for the calling thread.
class SchedulerCalls {
public:
    struct Class {
        int policy = 0; // SCHED_OTHER
        int priority = 0;
    };

    virtual ~SchedulerCalls() = default;
    virtual bool GetClass(Class* out) = 0;
    virtual bool SetClass(const Class& wanted) = 0;
    virtual bool GetNice(int* out) = 0;
    virtual bool SetNice(int nice) = 0;
    // Root, or the CAP_SYS_NICE capability.
    virtual bool Privileged() = 0;
    // The soft limits RLIMIT_RTPRIO and RLIMIT_NICE (ulimit -r and -e).
    virtual int RealTimeLimit() = 0;
    virtual int NiceLimit() = 0;
};

// The Linux calls (per thread there).
class LinuxSchedulerCalls final : public SchedulerCalls {
public:
    bool GetClass(Class* out) override;
    bool SetClass(const Class& wanted) override;
    bool GetNice(int* out) override;
    bool SetNice(int nice) override;
    bool Privileged() override;
    int RealTimeLimit() override;
    int NiceLimit() override;
};

// The best the process may have while bytes must go out on time: a
// real-time class (SCHED_FIFO at a modest priority, or the highest that
// RLIMIT_RTPRIO allows) for root, CAP_SYS_NICE or a RLIMIT_RTPRIO above 0;
// else the lowest nice value allowed; else nothing. Refusals are silent.
// A thread already in a real-time class is left as it is.
class RealTimeThreadPriority final : public ThreadPriority {
public:
    static constexpr int kRealTimePriority = 10;
    static constexpr int kLowestNice = -20;

    explicit RealTimeThreadPriority(SchedulerCalls& calls) : m_calls(calls) {}

    Saved Raise() override;
    void Restore(const Saved& saved) override;

    // On the Linux calls.
    static RealTimeThreadPriority& Instance();

private:
    SchedulerCalls& m_calls;
};

} // namespace oskel
