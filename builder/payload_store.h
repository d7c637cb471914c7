// Writes the embedded player files into the staging folder of a build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "builder/project.h"

namespace grix {

// Creates `path` anew (a link there is replaced, never written through)
// and writes `length` bytes, byte k being array[k] exclusive-or (k mod
// 256); logs "Create file <path>, size <length> bytes". Any failure
// becomes Error("Can not create/save file " + path).
void WritePayloadFile(const std::uint8_t* array, std::size_t length, const std::string& path,
                      const LogSink& log);

// The thirteen player files, in table order, into `staging_folder`.
void WritePayload(const std::string& staging_folder, const LogSink& log);

}  // namespace grix
