// The end of a check's time: a point on the steady clock and an optional
// cancel flag, looked at every few calls so that the clock costs nothing in
// tight loops. Every phase of a check asks the same object, so the first
// phase to see the end stops all the later ones too.
#pragma once

#include <atomic>
#include <chrono>

namespace grix {

class Deadline {
  public:
    using Clock = std::chrono::steady_clock;

    Deadline(Clock::time_point end, const std::atomic<bool>* cancel) : end_(end), cancel_(cancel) {}

    // True once the end has passed or the caller cancelled; reads the clock
    // only every `every`-th call (1: every call).
    [[nodiscard]] bool Passed(unsigned every = 32) {
        if (passed_)
            return true;
        if (++ticks_ % every != 0)
            return false;
        passed_ = (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) ||
                  Clock::now() >= end_;
        return passed_;
    }
    [[nodiscard]] bool HasPassed() const { return passed_; }
    [[nodiscard]] Clock::time_point End() const { return end_; }

  private:
    Clock::time_point end_;
    const std::atomic<bool>* cancel_;
    unsigned ticks_ = 0;
    bool passed_ = false;
};

}  // namespace grix
