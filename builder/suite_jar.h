// The order of a suite's JAR entries. A phone that installs a suite while
// it downloads, like Java's own streaming JAR reader, sees the manifest only
// when it is the first entry (after its folder), so suites carry
// META-INF/ and META-INF/MANIFEST.MF first, then the staging folder's files
// in the walk's order. `grix-cli jar` packs plain folders and keeps the
// walk's order throughout.
#pragma once

#include <string>

namespace grix {

class TBraskBaseArchiver;

// Adds everything under `staging` to the open archive in one update,
// `manifest_folder` (staging + "/META-INF") and its MANIFEST.MF first; the
// archive is complete on disk when it returns.
void AddSuiteEntries(TBraskBaseArchiver& archive, const std::string& staging,
                     const std::string& manifest_folder);

}  // namespace grix
