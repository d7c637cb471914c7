// Path strings as folder collection and entry naming handle them: folder
// part, file-name part, lexical full-path expansion and relative paths.
// Nothing here touches the process's current folder; a "current" folder is
// always passed in.
#pragma once

#include <string>
#include <string_view>

#include "core/paths.h"

namespace grix {

inline constexpr char kPathSeparator = kPathDelimiter;
// A backslash is an ordinary character of a POSIX file name.
constexpr bool IsPathSeparator(char c) { return c == '/' || (kWindowsPaths && c == '\\'); }

bool HasPathSeparator(std::string_view path);
bool HasWildcard(std::string_view mask);  // '*' or '?'
bool IsAbsolutePath(std::string_view path);

// Up to and including the last separator ("" without one).
std::string FolderPart(std::string_view path);
// After the last separator.
std::string FileNamePart(std::string_view path);
std::string WithTrailingSeparator(std::string_view path);

// Lexical clean-up: repeated separators, "." and ".." components removed;
// a trailing separator is kept.
std::string NormalizePath(std::string_view path);

// The absolute form of `path`, a relative one taken from `current`.
std::string FullPath(std::string_view path, std::string_view current);

// An empty string means `current`; a string naming an existing folder
// becomes that folder's absolute path (without a trailing separator); any
// other string is kept unchanged.
std::string ResolveFolder(std::string_view folder, std::string_view current);

// `path` relative to the folder part of `base` (which therefore ends in a
// separator when it names a folder): "../" for each level up, components
// compared exactly. A path with no common root is answered unchanged.
std::string RelativePath(std::string_view base, std::string_view path);

// Masks written with Windows separators ("META-INF\*") work on every
// platform: on POSIX systems every backslash of a mask becomes '/'.
std::string NormalizeMaskSeparators(std::string_view mask);

}  // namespace grix
