// Clean-up that must run on every way out of a scope, written once beside
// the work it undoes: the one scope guard of the code base.
#pragma once

#include <utility>

namespace grix {

template <class Action>
class [[nodiscard]] ScopeExit {
  public:
    explicit ScopeExit(Action action) : action_(std::move(action)) {}
    // Runs the action unless released. Like any destructor it must not
    // throw: an action that can fails quietly or ends the program.
    ~ScopeExit() {
        if (armed_)
            action_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

    // The work succeeded: nothing to undo.
    void Release() noexcept { armed_ = false; }

  private:
    Action action_;
    bool armed_ = true;
};

}  // namespace grix
