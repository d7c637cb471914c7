// The question the program asks its user when a source file cannot be
// written into an archive and no OnProcessFileFailure handler is set. The
// library never shows a dialog itself: the window installs its modal
// Abort/Retry/Ignore box, grix-cli an answer of its own.
#pragma once

#include <functional>
#include <string>

#include "archive/brask_types.h"

namespace grix {

// Receives the full prompt text (FailurePromptText of the failure's
// message) and answers fxaAbort, fxaRetry or fxaIgnore.
using FailurePrompt = std::function<TBraskAction(const std::string& text)>;

// Installs the prompt for the whole process; an empty function removes it.
// Without a prompt the answer is fxaAbort.
void SetFailurePrompt(FailurePrompt prompt);

inline constexpr const char* kFailurePromptSuffix = ". File processing error, possibly disk is full";

// "<message>. File processing error, possibly disk is full"
std::string FailurePromptText(const std::string& message);

// Asks the installed prompt (outside any lock, so it may take its time).
TBraskAction AskFailurePrompt(const std::string& message);

}  // namespace grix
