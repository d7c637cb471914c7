// Entry names a reader can extract without harm: relative, inside the
// folder it extracts to, on one line.
#pragma once

#include <string>
#include <string_view>

namespace grix {

// False for an empty name, one that starts with '/' (absolute, or a network
// path "//server/..."), has a drive prefix ("C:..."), a ".." segment or a
// control character (CR and LF included).
bool IsSafeEntryName(std::string_view name);

// The text with every control character shown as '?', for messages.
std::string PrintableName(std::string_view text);

}  // namespace grix
