// The update path of the archive writer: BeginUpdate / EndUpdate /
// CancelUpdate, the commit that writes the pending entries and the central
// directory, and the rollback that puts the archive back as it was when a
// commit is aborted or fails.
#include "archive/base_archiver.h"

#include <memory>

#include "archive/brask_exception.h"
#include "archive/central_directory.h"
#include "archive/compress_source.h"
#include "archive/file_info.h"
#include "archive/temp_file.h"
#include "archive/zip_records.h"

namespace grix {
namespace {

// The file access mode for reading and writing: what BeginUpdate asks for
// when FileName already exists. Open refuses it (code 61), since the writer
// only ever creates archives.
constexpr std::uint32_t kOpenReadWriteMode = 2;

}  // namespace

void TBraskBaseArchiver::BeginUpdate() {
    RequireNotCommitting();
    if (update_depth_ == 0) {
        if (state_ == ArchiveState::Closed) {
            Open(QueryFileInfo(file_name_).kind == FileKind::Missing ? kCreateMode
                                                                     : kOpenReadWriteMode);
        }
        TBraskDirArray& entries = dir_manager_->Entries();
        for (int i = 0; i < entries.Count(); ++i) entries.Item(i).modified = false;
        dir_manager_->Snapshot() = entries;
        state_ = ArchiveState::Updating;
    }
    ++update_depth_;
}

void TBraskBaseArchiver::EndUpdate() {
    if (update_depth_ == 0 || state_ != ArchiveState::Updating) return;
    if (--update_depth_ == 0) CommitUpdate();
}

void TBraskBaseArchiver::CancelUpdate() {
    if (update_depth_ == 0 || state_ != ArchiveState::Updating) return;
    update_depth_ = 0;
    dir_manager_->Entries() = dir_manager_->Snapshot();
    state_ = ArchiveState::Open;
}

void TBraskBaseArchiver::CopyOldEntry(TBraskDirItem& item, TempFile* old_tail,
                                      std::uint64_t write_offset,
                                      std::uint64_t old_directory_offset) {
    const TBraskDirArray& old = dir_manager_->Snapshot();
    const int index = old.IndexOfName(item.stored_name);
    if (index < 0 || old_tail == nullptr) Raise(brask_code::kOldEntryMissing);
    const TBraskDirItem& before = old.Item(index);
    const std::uint64_t end = index + 1 < old.Count() ? old.Item(index + 1).local_header_offset
                                                      : old_directory_offset;
    if (before.local_header_offset < write_offset || end < before.local_header_offset) {
        Raise(brask_code::kOldEntryMissing);
    }
    const auto new_offset = static_cast<std::uint64_t>(archive_.Position());
    if (new_offset >= kZip64Marker32 && zip64_mode_ == zmDisabled) {
        Raise(brask_code::kZip64OffsetNeeded, {before.source_path});
    }
    CopyFileRange(old_tail->file(), static_cast<std::int64_t>(before.local_header_offset - write_offset),
                  end - before.local_header_offset, archive_);
    item = before;
    item.local_header_offset = new_offset;
    item.modified = false;
}

void TBraskBaseArchiver::CommitUpdate() {
    TBraskDirArray& entries = dir_manager_->Entries();
    const TBraskDirArray& old = dir_manager_->Snapshot();
    update_depth_ = 0;
    state_ = ArchiveState::Committing;
    processed_ = 0;
    abort_ = false;
    last_commit_ = {};
    to_process_ = 0;
    TBraskProcessOperation first_operation = poDelete;
    for (int i = 0; i < entries.Count(); ++i) {
        if (!entries.Item(i).modified) continue;
        if (to_process_++ == 0) first_operation = entries.Item(i).operation;
    }

    int first = 0;
    while (first < entries.Count() && first < old.Count() && !entries.Item(first).modified &&
           entries.Item(first).stored_name == old.Item(first).stored_name) {
        ++first;
    }

    const std::uint64_t old_directory_offset = dir_manager_->CentralDirectoryOffset();
    const EndRecord old_end = dir_manager_->End();
    std::uint64_t write_offset = dir_manager_->StartOffset();
    std::unique_ptr<TempFile> old_tail;
    try {
        if (first < old.Count()) {
            // An entry the archive holds changes: everything from its local
            // header on is kept aside, to copy back what stays unchanged.
            write_offset = old.Item(first).local_header_offset;
            old_tail = std::make_unique<TempFile>();
            const auto size = static_cast<std::uint64_t>(archive_.Size());
            CopyFileRange(archive_, static_cast<std::int64_t>(write_offset), size - write_offset,
                          old_tail->file());
        } else if (old.Count() > 0) {
            write_offset = old_directory_offset;
        }
    } catch (...) {
        state_ = ArchiveState::Open;
        entries = old;
        throw;
    }

    try {
        if (DoOverallProgress(first_operation, ppStart, 0)) abort_ = true;
        if (!abort_) {
            archive_.Seek(static_cast<std::int64_t>(write_offset));
            archive_.Truncate(static_cast<std::int64_t>(write_offset));
        }
        for (int i = first; i < entries.Count() && !abort_;) {
            TBraskDirItem& item = entries.Item(i);
            if (!item.modified) {
                CopyOldEntry(item, old_tail.get(), write_offset, old_directory_offset);
                ++i;
                continue;
            }
            const std::int64_t entry_start = archive_.Position();
            try {
                if (!WriteEntry(item)) break;
                ++processed_;
                ++i;
            } catch (const EBraskException& failure) {
                // Whatever the failed entry left is cut away, so the next
                // entry (or the retry) follows the previous one directly and
                // readers that walk the local headers in order never meet
                // stray bytes.
                archive_.Truncate(entry_start);
                archive_.Seek(entry_start);
                TBraskAction action = fxaAbort;
                if (archive_.IsOpen() && !close_requested_) {
                    action = DoProcessFileFailure(item.source_path, item.operation, failure.what(),
                                                  failure.MessageIndex(), failure.NativeError());
                }
                if (close_requested_) action = fxaAbort;
                if (action == fxaRetry) continue;
                if (action == fxaIgnore) {
                    last_commit_.skipped.push_back(
                        {item.source_path, failure.what(), failure.NativeError()});
                    --to_process_;
                    if (item.operation == poUpdate) {
                        CopyOldEntry(item, old_tail.get(), write_offset, old_directory_offset);
                        ++i;
                    } else {
                        entries.Delete(i);
                    }
                    continue;
                }
                last_commit_.aborted_by = failure.what();
                abort_ = true;
            }
        }
        if (!abort_) {
            dir_manager_->WriteCentralDirectory();
            old_tail.reset();
        }
        DoOverallProgress(first_operation, ppEnd, 100);
        if (abort_) {
            Rollback(old_tail.get(), write_offset, old_directory_offset, old_end);
        } else if (options_.FlushBuffers) {
            archive_.Sync();
        }
    } catch (...) {
        try {
            Rollback(old_tail.get(), write_offset, old_directory_offset, old_end);
        } catch (...) {
            // The first failure is the one to report.
        }
        state_ = ArchiveState::Open;
        if (close_requested_) {
            close_requested_ = false;
            Close();
        }
        throw;
    }
    state_ = ArchiveState::Open;
    if (close_requested_) {
        close_requested_ = false;
        Close();
    }
}

void TBraskBaseArchiver::Rollback(TempFile* old_tail, std::uint64_t write_offset,
                                  std::uint64_t old_directory_offset, const EndRecord& old_end) {
    dir_manager_->Entries() = dir_manager_->Snapshot();
    archive_.Seek(static_cast<std::int64_t>(write_offset));
    archive_.Truncate(static_cast<std::int64_t>(write_offset));
    try {
        if (old_tail != nullptr) {
            File& copy = old_tail->file();
            CopyFileRange(copy, 0, static_cast<std::uint64_t>(copy.Size()), archive_);
            dir_manager_->RestoreDirectory(old_directory_offset, old_end);
        } else {
            dir_manager_->WriteCentralDirectory();
        }
    } catch (...) {
        // A disk too full even for the directory: no partial record is
        // left behind (Close tries the empty archive once more).
        archive_.Truncate(static_cast<std::int64_t>(write_offset));
        throw;
    }
    if (options_.FlushBuffers) archive_.Sync();
}

}  // namespace grix
