// The order of a suite's JAR entries. A phone that installs a suite while
// it downloads, like Java's own streaming JAR reader, sees the manifest only
// when it is the first entry (after its folder), so suites carry
// META-INF/ and META-INF/MANIFEST.MF first, then the staging folder's files
// in the walk's order. `grix-cli jar` packs plain folders and keeps the
// walk's order throughout.
#pragma once

#include <string>
#include <vector>

namespace grix {

class TBraskBaseArchiver;

// Adds `manifest_folder` (staging + "/META-INF") and its MANIFEST.MF, then
// the files of `staging` named in `file_names`, in that order, to the open
// archive in one update; the archive is complete on disk when it returns.
// Nothing else in the staging folder goes in: a suite carries only the
// files its build wrote.
void AddSuiteEntries(TBraskBaseArchiver& archive, const std::string& staging,
                     const std::string& manifest_folder,
                     const std::vector<std::string>& file_names);

}  // namespace grix
