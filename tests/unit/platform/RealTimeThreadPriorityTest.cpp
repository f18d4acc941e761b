#include "platform/RealTimeThreadPriority.h"

#include <gtest/gtest.h>

#include <sched.h>

namespace oskel {
namespace {

// The kernel's rules for one thread, by privilege.
struct FakeScheduler final : SchedulerCalls {
    bool privileged = false;
    int rtLimit = 0;
    int niceLimit = 0;
    bool realTimeRefused = false; // no real-time budget, as in some containers
    Class current;
    int nice = 0;

    bool GetClass(Class* out) override
    {
        *out = current;
        return true;
    }
    bool SetClass(const Class& wanted) override
    {
        const bool realTime = wanted.policy == SCHED_FIFO || wanted.policy == SCHED_RR;
        if (realTime && (realTimeRefused || (!privileged && wanted.priority > rtLimit)))
            return false;
        current = wanted;
        return true;
    }
    bool GetNice(int* out) override
    {
        *out = nice;
        return true;
    }
    bool SetNice(int wanted) override
    {
        if (wanted < nice && !privileged && wanted < 20 - niceLimit)
            return false;
        nice = wanted;
        return true;
    }
    bool Privileged() override { return privileged; }
    int RealTimeLimit() override { return rtLimit; }
    int NiceLimit() override { return niceLimit; }
};

TEST(RealTimeThreadPriority, EachPrivilegeGetsTheBestItMayAndGivesItBack)
{
    struct Case {
        const char* who;
        bool privileged;
        int rtLimit;   // ulimit -r
        int niceLimit; // ulimit -e
        bool realTimeRefused;
        int policy; // while raised
        int priority;
        int nice;
    };
    const Case cases[] = {
        {"root or CAP_SYS_NICE", true, 0, 0, false, SCHED_FIFO, 10, 5},
        {"ulimit -r 50", false, 50, 0, false, SCHED_FIFO, 10, 5},
        {"ulimit -r 3", false, 3, 0, false, SCHED_FIFO, 3, 5},
        {"ulimit -e 30", false, 0, 30, false, SCHED_OTHER, 0, -10},
        {"root without a real-time budget", true, 0, 0, true, SCHED_OTHER, 0, -20},
        {"an ordinary user", false, 0, 0, false, SCHED_OTHER, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.who);
        FakeScheduler kernel;
        kernel.privileged = c.privileged;
        kernel.rtLimit = c.rtLimit;
        kernel.niceLimit = c.niceLimit;
        kernel.realTimeRefused = c.realTimeRefused;
        kernel.nice = 5;
        RealTimeThreadPriority priority(kernel);
        const ThreadPriority::Saved saved = priority.Raise();
        EXPECT_EQ(kernel.current.policy, c.policy);
        EXPECT_EQ(kernel.current.priority, c.priority);
        EXPECT_EQ(kernel.nice, c.nice);
        priority.Restore(saved);
        EXPECT_EQ(kernel.current.policy, SCHED_OTHER);
        EXPECT_EQ(kernel.current.priority, 0);
        EXPECT_EQ(kernel.nice, 5);
    }
}

TEST(RealTimeThreadPriority, AThreadAlreadyRealTimeKeepsItsClass)
{
    FakeScheduler kernel;
    kernel.privileged = true;
    kernel.current = {SCHED_RR, 40};
    RealTimeThreadPriority priority(kernel);
    const ThreadPriority::Saved saved = priority.Raise();
    EXPECT_EQ(kernel.current.priority, 40);
    priority.Restore(saved);
    EXPECT_EQ(kernel.current.policy, SCHED_RR);
    EXPECT_EQ(kernel.current.priority, 40);
}

} // namespace
} // namespace oskel
