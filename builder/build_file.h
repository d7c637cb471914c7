// Writing one file of a build: every file a build creates is written the
// same way and logged with its size, and any failure names the file.
#pragma once

#include <cstddef>
#include <string>

#include "builder/project.h"
#include "core/staged_file.h"

namespace grix {

// Creates `path` anew (whatever had the name, a link too, is replaced),
// writes `size` bytes and logs "Create file PATH, size N bytes". Any
// failure throws Error("Can not create/save file PATH"), with " (Disk full)"
// after it when that was the cause.
void WriteBuildFile(const void* data, std::size_t size, const std::string& path,
                    const LogSink& log);

// The same into a staged file, flushed to disk before it may be committed,
// and named in the log and the error by its final path.
void WriteBuildFile(const void* data, std::size_t size, const StagedFile& staged,
                    const LogSink& log);

}  // namespace grix
