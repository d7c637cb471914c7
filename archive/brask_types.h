// Enumerations, option group and constants of the archive writer.
//
// The enumerators are plain (unscoped) so that code reads as the writer's
// users expect (`clMax`, `fxaAbort`); their values count from 0 in the order
// given, which callers that store them rely on.
#pragma once

#include <cstdint>

namespace grix {

// The Open mode that makes a new, empty archive. It lies outside the
// range of file access modes (0-2), so no access mode is taken for it.
inline constexpr std::uint32_t kCreateMode = 0xFFFF;

// File attribute bits as the archive's external attributes carry them.
inline constexpr std::uint16_t kAttrReadOnly = 0x01;
inline constexpr std::uint16_t kAttrHidden = 0x02;
inline constexpr std::uint16_t kAttrSystem = 0x04;
inline constexpr std::uint16_t kAttrVolumeLabel = 0x08;
inline constexpr std::uint16_t kAttrFolder = 0x10;
inline constexpr std::uint16_t kAttrArchive = 0x20;
inline constexpr std::uint16_t kAttrNormal = 0x80;
inline constexpr std::uint16_t kAttrCompressed = 0x800;
inline constexpr std::uint16_t kAttrNotContentIndexed = 0x2000;

// Every attribute bit above: every file, hidden and system ones included,
// and every folder.
inline constexpr std::uint16_t kDefaultSearchAttr = 10431;  // 0x28BF

enum TBraskCompressionLevel { clNone, clFastest, clNormal, clMax };

enum TBraskStorePathMode { spNoPath, spRelativePath, spFullPath, spFullPathWithDrive };

// Sharing asked for when a source file is opened. On POSIX systems it maps
// onto advisory locks (see WriteEntry).
enum TBraskFileShareMode {
    smShareCompat,
    smShareExclusive,
    smShareDenyWrite,
    smShareDenyRead,
    smShareDenyNone
};

enum TBraskOverwriteMode { omPrompt, omAlways, omNever, omIfNewer, omIfOlder };

enum TZip64Mode { zmDisabled, zmAuto, zmAlways };

enum TBraskProcessOperation {
    poAdd,
    poMove,
    poDelete,
    poUpdate,
    poExtract,
    poTest,
    poRename,
    poChangeAttr,
    poChangeComment
};

enum TBraskProgressPhase { ppStart, ppProcess, ppEnd };

// The answer to a source file that could not be written.
enum TBraskAction { fxaRetry, fxaIgnore, fxaAbort };

struct TBraskOptions {
    TBraskStorePathMode StorePath = spRelativePath;
    bool Recurse = true;
    TBraskFileShareMode ShareMode = smShareDenyNone;
    TBraskOverwriteMode OverwriteMode = omAlways;
    // The attribute set AddFromBaseDir uses when the call names none.
    std::uint16_t SearchAttr = kDefaultSearchAttr;
    // fsync the archive after every commit.
    bool FlushBuffers = true;
    // true: version fields 20 (made on FAT); false: 0x0B14 (made on NTFS).
    // Names are written as the file system gives them (UTF-8) either way:
    // the flag changes the version fields alone.
    bool OEMFileNames = true;
};

}  // namespace grix
