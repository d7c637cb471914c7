// Folder collection: walking the base folder for AddFromBaseDir, the rules
// that expand masks, reject excluded items and name the entries.
//
// All of it works on path strings resolved against the base folder and
// never reads or changes the process's current folder, so collection is
// safe next to other code that relies on it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "archive/brask_types.h"
#include "archive/file_info.h"

namespace grix {

struct ExpandedMask {
    std::string full;
    bool relative = false;  // the mask was taken relative to the folder
};

// The full mask of `mask` within `folder` (an absolute, resolved folder):
// empty stays empty; a lone separator is the folder; "//server..." and
// POSIX absolute paths stay as they are, as does a mask containing "../";
// anything else is appended to the folder and is relative.
ExpandedMask ExpandMask(const std::string& mask, const std::string& folder);

// The stored name of `path` for the given mode, relative to the resolved
// base folder `base`: '/' separators, never a leading '/', letter case as
// given. A relative form that would climb out of the base ("../") gives way
// to the full path. POSIX systems have no drives, so spFullPathWithDrive
// names entries as spFullPath does.
std::string MakeStoredName(const std::string& path, const std::string& base,
                           TBraskStorePathMode mode);

// Whether `mask` rejects `path` (a folder when is_folder). "*.*" rejects
// everything and an empty mask nothing. A relative mask is matched against
// the path relative to `current` (or its file name alone when the mask has
// no separator); a mask with a folder part only rejects items of that
// folder, and "<folder>/*.*" rejects the whole tree under it. Folder and
// letter case comparisons are ASCII case-insensitive.
bool MatchesExclusion(const std::string& path, const std::string& mask, bool is_folder,
                      const std::string& current);

// What the walk asks of the archive.
class CollectionSink {
public:
    virtual ~CollectionSink() = default;
    // May the item be added? (OnConfirmProcessFile)
    virtual bool ConfirmProcessFile(const std::string& path) = 0;
    // RegisterEntry: the entry's index, or -1 when an existing one is kept.
    virtual int Register(const std::string& path, const std::string& stored_name) = 0;
    // The registered entry is to be stored without compression.
    virtual void StoreUncompressed(int index) = 0;
};

struct CollectionSettings {
    std::string base;  // resolved base folder: absolute, existing
    std::uint16_t search_attr = kDefaultSearchAttr;
    bool recurse = true;
    TBraskStorePathMode store_path = spRelativePath;
    std::vector<std::string> exclusion_masks;
    std::vector<std::string> no_compression_masks;
    // The archive being written: left out wherever it lies, whatever its
    // name's letter case or the links leading to it.
    FileIdentity archive;
};

// Walks the base folder for one file mask and registers what it finds:
// in each folder its files first, then for each subfolder its folder entry
// directly followed by everything inside it.
void CollectFromBaseDir(const std::string& file_mask, const CollectionSettings& settings,
                        CollectionSink& sink);

// The process-wide lock held while a collection runs.
std::mutex& CollectionLock();

}  // namespace grix
