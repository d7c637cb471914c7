// The build's word on fairness: a warning for every picture whose clues
// have more than one solution, that has no filled cell at all, or that the
// check could not decide in its time.
#pragma once

#include <atomic>
#include <cstddef>

#include "builder/project.h"

namespace grix {

// Time one picture's check may take in a build, and the most all of them
// together may take before the remaining pictures get only the least
// (enough for any picture that line logic solves).
inline constexpr double kBuildCheckBudget = 0.2;
inline constexpr double kBuildCheckTotal = 3.0;
inline constexpr double kBuildCheckLeast = 0.02;
// Pictures larger than this are not checked in a build: no phone shows
// them, and their check would cost more memory than the build itself.
inline constexpr std::size_t kBuildCheckMostCells = 1000 * 1000;

// Logs "Warning: picture N (PATH) has more than one solution",
// "Warning: picture N (PATH) has no filled cell" or "Warning: picture N
// (PATH) could not be checked in time; it may have more than one solution"
// for each such picture, in list order. A picture the check cannot read,
// or that is too large to check, gets no line: the pack step has already
// reported on every picture.
void WarnAboutUnfairPictures(const CrosswordProject& project, const LogSink& log,
                             const std::atomic<bool>* cancel = nullptr);

}  // namespace grix
