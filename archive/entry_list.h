// One archive entry (TBraskDirItem) and the entry list (TBraskDirArray)
// the central directory is written from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archive/brask_types.h"
#include "archive/zip_records.h"

namespace grix {

struct TBraskDirItem {
    // The central-directory fields the entry owns: versions, flags, method,
    // time, date, CRC-32, external attributes. Lengths, sizes and the
    // local-header offset are filled from the fields below when written.
    CentralHeader header;
    std::string stored_name;  // folder names end in '/'
    std::string comment;
    // The true 64-bit values; the 32-bit fields carry markers when
    // needs_zip64 is set.
    std::uint64_t uncompressed_size = 0;
    std::uint64_t compressed_size = 0;
    std::uint64_t local_header_offset = 0;
    bool needs_zip64 = false;
    bool is_folder = false;
    bool modified = false;  // takes part in the pending update
    std::string source_path;
    int level = 0;  // deflate level 0-9
    TBraskProcessOperation operation = poAdd;
};

// A growable entry list that keeps insertion order. Index errors raise
// EBraskException "Index out of bounds" with code 1 (read), 2 (replace),
// 3 (insert) or 4 (delete).
class TBraskDirArray {
public:
    // owner_name prefixes the messages of index errors; it must outlive the list.
    explicit TBraskDirArray(const std::string* owner_name = nullptr) : owner_name_(owner_name) {}

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    std::size_t Capacity() const noexcept { return items_.capacity(); }
    // Growing adds empty items; 0 releases every item and the storage.
    void SetCount(int count);

    // A name must not be changed through Item(); Put() keeps the name index right.
    TBraskDirItem& Item(int index);
    const TBraskDirItem& Item(int index) const;
    void Put(int index, TBraskDirItem item);
    int Add(TBraskDirItem item);
    void Insert(int index, TBraskDirItem item);
    void Delete(int index);

    // The index of the first entry stored under exactly this name, or -1.
    int IndexOfName(const std::string& stored_name) const;

private:
    void EnsureCapacity(std::size_t needed);
    [[noreturn]] void RaiseIndexError(int code) const;

    std::vector<TBraskDirItem> items_;
    std::size_t growth_step_ = 500;
    // Name lookups stay constant-time for folders of many thousands of
    // files; rebuilt lazily after anything but an append.
    mutable std::unordered_map<std::string, int> name_index_;
    mutable bool name_index_stale_ = false;
    const std::string* owner_name_;
};

}  // namespace grix
