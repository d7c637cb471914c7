// TBraskDirManager: the entry lists of an open archive and the writing of
// its central directory and end record.
#pragma once

#include <cstdint>
#include <string>

#include "archive/entry_list.h"
#include "archive/zip_records.h"
#include "core/file.h"

namespace grix {

class TBraskDirManager {
public:
    // `archive` and `owner_name` must outlive the manager. A new archive
    // starts with no entries and its directory at `start_offset`.
    TBraskDirManager(File& archive, const std::string* owner_name, bool is_new,
                     std::uint64_t start_offset = 0);

    TBraskDirArray& Entries() noexcept { return entries_; }
    const TBraskDirArray& Entries() const noexcept { return entries_; }
    // The list as it was when the pending update began.
    TBraskDirArray& Snapshot() noexcept { return snapshot_; }

    bool IsNew() const noexcept { return is_new_; }
    std::uint64_t StartOffset() const noexcept { return start_offset_; }
    // Where the central directory last written starts (the start offset
    // before any was written).
    std::uint64_t CentralDirectoryOffset() const noexcept { return central_directory_offset_; }
    const EndRecord& End() const noexcept { return end_record_; }
    void ResetEndRecord() noexcept;
    // After the bytes of an earlier state were put back: its directory
    // position and end record hold again.
    void RestoreDirectory(std::uint64_t offset, const EndRecord& end) noexcept {
        central_directory_offset_ = offset;
        end_record_ = end;
    }

    // Cuts the archive at its current position and writes there the central
    // headers of Entries() in list order, then the end record (preceded by
    // the Zip64 end record and locator when a value needs them). A short
    // write of the directory raises code 46; of the end records,
    // EWriteError "Stream write error".
    void WriteCentralDirectory();

private:
    File& archive_;
    const std::string* owner_name_;
    TBraskDirArray entries_;
    TBraskDirArray snapshot_;
    bool is_new_;
    std::uint64_t start_offset_;
    std::uint64_t central_directory_offset_;
    EndRecord end_record_;
    std::string comment_;  // the archive comment: empty in this system
};

}  // namespace grix
