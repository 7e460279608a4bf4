#pragma once

#include <atomic>

namespace zpak {

// Set by whoever wants a long operation to stop (the progress dialog's Cancel,
// a signal handler); read by the operation at points where it can stop
// cleanly. Safe to set from a signal handler.
class CancelFlag {
public:
    void Set() { set_.store(true, std::memory_order_relaxed); }
    bool IsSet() const { return set_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> set_{false};
    static_assert(std::atomic<bool>::is_always_lock_free);
};

}  // namespace zpak
