// Paths as the user sees them: UTF-8 text with the platform's separator
// ('/' on Linux and macOS, '\' on Windows).
#pragma once

#include <string>

namespace grix {

#ifdef _WIN32
inline constexpr char kPathDelimiter = '\\';
#else
inline constexpr char kPathDelimiter = '/';
#endif

// folder + separator + name.
inline std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + kPathDelimiter + name;
}

// The absolute form of `path` (against the current folder), without
// resolving links; the path unchanged when it cannot be made absolute.
std::string AbsolutePath(const std::string& path);

}  // namespace grix
