// Path strings as folder collection and entry naming handle them: lexical
// full-path expansion and relative paths (the folder and file-name parts
// are the file layer's, core/paths.h).
// Nothing here touches the process's current folder; a "current" folder is
// always passed in.
#pragma once

#include <string>
#include <string_view>

#include "core/paths.h"

namespace grix {

bool HasWildcard(std::string_view mask);  // '*' or '?'
bool IsAbsolutePath(std::string_view path);

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
