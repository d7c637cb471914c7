// The splash picture a suite may carry: a PNG the phone can show. MIDP
// phones decode PNG only, on screens far smaller than 1024 pixels a side,
// inside a heap of a few hundred kilobytes; anything else would at best be
// dead weight in the suite and at worst stop the player at start-up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace grix {

inline constexpr std::int64_t kMaxSplashBytes = 256 * 1024;
inline constexpr std::uint32_t kMaxSplashSide = 1024;

struct SplashPicture {
    std::vector<std::uint8_t> bytes;  // the file as read, when it passed
    std::string problem;              // why it cannot be the splash; empty when it can
};

// Reads the file at `path` and checks it: a readable file (not a folder) of
// at most kMaxSplashBytes, a PNG signature and header, sides of at most
// kMaxSplashSide, and pixels that decode. The problem reads as the end of
// "suite built without it (...)": "not a PNG picture", "too large: W x H".
[[nodiscard]] SplashPicture ReadSplashPicture(const std::string& path);

// The same check for a window that marks the splash field before a build:
// the problem, or an empty string.
[[nodiscard]] std::string SplashProblem(const std::string& path);

}  // namespace grix
