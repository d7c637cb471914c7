// The two descriptions of a MIDlet suite: the manifest inside the JAR and
// the JAD beside it. Lines end in CR LF; text is UTF-8, which is what both
// the JAR format and the MIDP descriptor format expect.
#pragma once

#include <cstdint>
#include <string>

#include "builder/project.h"

namespace grix {

inline constexpr const char* kVendor = "Tarnfield";
inline constexpr const char* kProfile = "MIDP-1.0";
inline constexpr const char* kSuiteVersion = "1.0.0";

// The JAR's file name as the relative URL the JAD gives for it.
std::string JarUrl(const std::string& jar_name);

std::string ManifestText(const std::string& name, const std::string& vendor);
std::string JadText(const std::string& name, const std::string& vendor, const std::string& profile,
                    std::int64_t jar_size);

// Creates `path` anew (a link there is replaced, never written through),
// writes the bytes of `text` and logs
// "Create file <path>, size <n> bytes". Any failure becomes
// Error("Can not create/save file " + path).
void WriteTextFile(const std::string& text, const std::string& path, const LogSink& log);

}  // namespace grix
