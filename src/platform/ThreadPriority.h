#pragma once

namespace oskel {

// Best-effort priority boost of the calling thread, for the few moments
// where byte timing matters. Raising may be refused by the system; that is
// never an error. Restore always puts back what Raise saved.
class ThreadPriority {
public:
    struct Saved {
        int value = 0;       // the nice value to put back
        bool valid = false;  // value is to be put back
        int policy = -1;     // the scheduling class to put back, -1 when Raise left it
        int classPriority = 0;
    };

    virtual ~ThreadPriority() = default;
    virtual Saved Raise() = 0;
    virtual void Restore(const Saved& saved) = 0;
};

// Raises on construction, restores on destruction.
class ScopedPriorityBoost {
public:
    explicit ScopedPriorityBoost(ThreadPriority& priority) : m_priority(priority), m_saved(priority.Raise()) {}
    ~ScopedPriorityBoost() { m_priority.Restore(m_saved); }
    ScopedPriorityBoost(const ScopedPriorityBoost&) = delete;
    ScopedPriorityBoost& operator=(const ScopedPriorityBoost&) = delete;

private:
    ThreadPriority& m_priority;
    ThreadPriority::Saved m_saved;
};

} // namespace oskel
