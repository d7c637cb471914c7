// How the archive writer answers a source file it cannot write when no
// OnProcessFileFailure handler is set: ask someone (the window installs its
// modal Abort/Retry/Ignore box as the program's prompt), or abort at the
// first failure; files whose entry names are unsafe may be left out
// without asking. The library never shows a dialog itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "archive/brask_types.h"

namespace grix {

// Receives the full prompt text (FailurePromptText of the failure's
// message) and answers fxaAbort, fxaRetry or fxaIgnore.
using FailurePrompt = std::function<TBraskAction(const std::string& text)>;

// Installs the program's prompt for the whole process; an empty function
// removes it. Without a prompt the answer is fxaAbort.
void SetFailurePrompt(FailurePrompt prompt);

// "<message>. File processing error, possibly disk is full"
std::string FailurePromptText(const std::string& message);

// Asks the installed prompt with the text of `message` (outside any lock,
// so it may take its time). Anything but Retry and Ignore is Abort.
TBraskAction AskFailurePrompt(const std::string& message);

// The installed prompt itself, taking the full prompt text.
TBraskAction AskInstalledPrompt(const std::string& text);

struct FailurePolicy {
    // Asked with the prompt text; anything but Retry and Ignore aborts.
    // Empty: the first failure aborts, as when nobody is there to ask.
    FailurePrompt ask = AskInstalledPrompt;
    // A file whose entry name would be unsafe to extract is left out
    // without asking.
    bool skip_unsafe_names = false;
};

// For a program with nobody to ask: a file whose entry name is unsafe is
// left out, and the first other failure aborts.
[[nodiscard]] FailurePolicy UnattendedPolicy();

// The answer `policy` gives to a failure with the writer's `message` and
// code `native_error`.
[[nodiscard]] TBraskAction AnswerFailure(const FailurePolicy& policy, const std::string& message,
                                         int native_error);

// A source a commit left out (the answer was Ignore), and why.
struct SkippedSource {
    std::string path;
    std::string message;  // the writer's message
    int native_error = 0;
};

// What the answers did to the last commit.
struct CommitReport {
    std::vector<SkippedSource> skipped;
    // The message of the failure whose Abort rolled the commit back; empty
    // when no failure did (an abort from a progress event carries none).
    std::string aborted_by;
};

}  // namespace grix
