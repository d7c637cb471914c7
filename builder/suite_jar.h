// Writing a JAR from a folder: the one place that sets the archive
// writer up, for the build's suites and for `grix-cli jar` alike.
//
// The order of a suite's JAR entries: a phone that installs a suite while
// it downloads, like Java's own streaming JAR reader, sees the manifest
// only when it is the first entry (after its folder), so suites carry
// META-INF/ and META-INF/MANIFEST.MF first, then the files the build
// wrote. `grix-cli jar` packs plain folders and keeps
// the walk's order throughout.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/failure_policy.h"

namespace grix {

class TBrask;

// A suite's own files: names in the staging folder, packed after META-INF/
// and its MANIFEST.MF in this order. Nothing else in the folder goes in, so
// a suite carries only what its build wrote.
struct SuiteFiles {
    std::vector<std::string> names;
};

// The settings every JAR is written with: named "brask" (the prefix of its
// messages), maximum compression, buffers flushed to disk, UTF-8 names, no
// Zip64.
void ConfigureSuiteArchiver(TBrask& brask);

// Writes the JAR `path` with `writer`: configures it (ConfigureSuiteArchiver,
// and `policy` for every file that cannot be packed unless the writer has an
// OnProcessFileFailure handler of its own), creates `path`, adds the entries
// in one update and closes it. With `suite` the entries are the suite's
// manifest and files in `folder`; without, everything under `folder` in the
// walk's order. Answers the files that were left out (Ignore). When an
// Abort rolled the JAR back to an empty archive, fails with the message of
// the failure that was aborted, so that an empty JAR never passes for a
// finished one.
[[nodiscard]] std::vector<SkippedSource> WriteSuiteJar(TBrask& writer, const std::string& path,
                                                       const std::string& folder,
                                                       const std::optional<SuiteFiles>& suite,
                                                       const FailurePolicy& policy);

}  // namespace grix
