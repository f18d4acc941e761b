#pragma once

#include "platform/ThreadPriority.h"

namespace oskel::test {

// Records raises and restores; the "priority" is a number that Raise sets
// to 15 (time critical) and Restore puts back.
class CountingPriority final : public ThreadPriority {
public:
    Saved Raise() override
    {
        ++raises;
        Saved saved{current, true};
        current = 15;
        return saved;
    }
    void Restore(const Saved& saved) override
    {
        ++restores;
        if (saved.valid)
            current = saved.value;
    }

    int current = 0;
    int raises = 0;
    int restores = 0;
};

} // namespace oskel::test
