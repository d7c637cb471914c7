// The directory search folder collection is built on: the items of one
// folder that match a name pattern and an attribute set, in a fixed order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/file_info.h"

namespace grix {

struct FoundItem {
    std::string name;
    std::uint16_t attributes = 0;
    FileIdentity identity;
};

// Whether a name matches a search pattern: "*" and "*.*" match every name,
// dot or no dot; otherwise the pattern is a TMask, and a name without a dot
// is also tried with a dot appended, so that "*." finds names without one.
bool SearchPatternMatches(const std::string& pattern, const std::string& name);

// The regular files (folders == false) or the folders (folders == true) of
// `folder` whose names match `pattern`, leaving out every item that carries
// a hidden, system, volume-label or folder bit which `attributes` lacks.
// Links (to files or folders), pipes, sockets and devices are never
// returned, so nothing from outside `folder` is ever found through it.
// Items come ordered by NameLess, whatever order the file system keeps. A
// folder that does not exist has no items; one that cannot be read raises
// EFOpenError ("Cannot open file "<folder>". <reason>").
std::vector<FoundItem> SearchFolder(const std::string& folder, const std::string& pattern,
                                    std::uint16_t attributes, bool folders);

}  // namespace grix
