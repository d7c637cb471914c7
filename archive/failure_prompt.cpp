#include "archive/failure_prompt.h"

#include <mutex>
#include <utility>

namespace grix {
namespace {

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

TBraskAction AskFailurePrompt(const std::string& message) {
    FailurePrompt prompt;
    {
        std::lock_guard<std::mutex> hold(PromptLock());
        prompt = InstalledPrompt();
    }
    if (!prompt) return fxaAbort;
    const TBraskAction answer = prompt(FailurePromptText(message));
    // Anything but Retry and Ignore aborts, as closing the box would.
    return answer == fxaRetry || answer == fxaIgnore ? answer : fxaAbort;
}

}  // namespace grix
