// Paths as the user sees them: UTF-8 text with the platform's separator
// ('/' on Linux and macOS, '\' on Windows).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace grix {

// Windows path syntax: '\\' separates as well as '/', and a drive letter
// and colon may lead a path. The one place the syntax is chosen.
#ifdef _WIN32
inline constexpr bool kWindowsPaths = true;
#else
inline constexpr bool kWindowsPaths = false;
#endif
inline constexpr char kPathDelimiter = kWindowsPaths ? '\\' : '/';

// The one crossing from our UTF-8 path text to std::filesystem and back.
// A path built from a plain std::string is read in the system's ANSI code
// page on Windows (bytes of UTF-8 come back as Latin-1 there); these read
// and write UTF-8 on every system, and pass POSIX bytes through unchanged.
std::filesystem::path NativePath(std::string_view utf8);
std::string Utf8Path(const std::filesystem::path& path);

// A backslash is an ordinary character of a POSIX file name.
constexpr bool IsPathSeparator(char c) { return c == '/' || (kWindowsPaths && c == '\\'); }
bool HasPathSeparator(std::string_view path);

// The one place a path is cut into its folder and file-name parts.
// Up to and including the last separator ("" without one).
std::string FolderPart(std::string_view path);
// After the last separator.
std::string FileNamePart(std::string_view path);
// The folder part without its trailing separator ("." for none, the root
// for a file in it): a folder that can be opened or synced.
std::string FolderOfPath(std::string_view path);
std::string WithTrailingSeparator(std::string_view path);

// folder + separator + name.
inline std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + kPathDelimiter + name;
}

// The absolute form of `path` (against the current folder), without
// resolving links; the path unchanged when it cannot be made absolute.
std::string AbsolutePath(const std::string& path);

}  // namespace grix
