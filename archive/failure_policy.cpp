#include "archive/failure_policy.h"

#include <mutex>
#include <utility>

#include "archive/brask_exception.h"

namespace grix {
namespace {

constexpr const char* kFailurePromptSuffix = ". File processing error, possibly disk is full";

std::mutex& PromptLock() {
    static std::mutex lock;
    return lock;
}

FailurePrompt& InstalledPrompt() {
    static FailurePrompt prompt;
    return prompt;
}

}  // namespace

void SetFailurePrompt(FailurePrompt prompt) {
    std::lock_guard<std::mutex> hold(PromptLock());
    InstalledPrompt() = std::move(prompt);
}

std::string FailurePromptText(const std::string& message) { return message + kFailurePromptSuffix; }

TBraskAction AskInstalledPrompt(const std::string& text) {
    FailurePrompt prompt;
    {
        std::lock_guard<std::mutex> hold(PromptLock());
        prompt = InstalledPrompt();
    }
    return prompt ? prompt(text) : fxaAbort;
}

TBraskAction AskFailurePrompt(const std::string& message) {
    return AnswerFailure(FailurePolicy{}, message, 0);
}

FailurePolicy UnattendedPolicy() {
    FailurePolicy policy;
    policy.ask = nullptr;
    policy.skip_unsafe_names = true;
    return policy;
}

TBraskAction AnswerFailure(const FailurePolicy& policy, const std::string& message,
                           int native_error) {
    if (policy.skip_unsafe_names && native_error == brask_code::kUnsafeEntryName) return fxaIgnore;
    if (!policy.ask) return fxaAbort;
    const TBraskAction answer = policy.ask(FailurePromptText(message));
    // Anything but Retry and Ignore aborts, as closing the box would.
    return answer == fxaRetry || answer == fxaIgnore ? answer : fxaAbort;
}

}  // namespace grix
