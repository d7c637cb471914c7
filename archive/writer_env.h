// What the archive writer takes from its surroundings: the process's
// current folder, against which relative FileName and BaseDir values are
// resolved, and the system's wording of a failed call.
#pragma once

#include <string>

namespace grix {

// The process's current folder ("." when it cannot be read).
std::string CurrentFolder();

// The text of an errno value. Our failures carry errno values on every
// system, so the generic wording is the right one everywhere.
std::string SystemReason(int err);

}  // namespace grix
