#include "archive/base_archiver.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <utility>

#include "archive/archive_paths.h"
#include "archive/brask_exception.h"
#include "archive/compress_source.h"
#include "archive/dir_manager.h"
#include "archive/dos_time.h"
#include "archive/entry_name.h"
#include "archive/file_info.h"
#include "archive/folder_collection.h"
#include "archive/temp_file.h"
#include "archive/zip_records.h"
#include "core/errors.h"
#include "core/text.h"

namespace grix {
namespace {

// The platform's "open for reading and writing" mode; BeginUpdate asks for
// it when FileName exists, which this port refuses (code 61).
constexpr std::uint32_t kOpenReadWriteMode = 2;
constexpr std::uint32_t kUnknownCrc = 0xFFFFFFFF;
constexpr std::size_t kMaxFieldLength = 0xFFFF;

// Names beyond ASCII are flagged as UTF-8 so that every reader shows them
// right; a name that is not valid UTF-8 (a file named in some older
// encoding) is left unflagged rather than flagged falsely.
std::uint16_t NameFlags(const std::string& name) {
    for (char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) return IsValidUtf8(name) ? kFlagUtf8Name : 0;
    }
    return 0;
}

std::string SystemReason(int err) { return std::system_category().message(err); }

// The current folder, for relative FileName and BaseDir values.
std::string CurrentFolder() {
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    return ec ? std::string(".") : here.string();
}

// The most a source of `length` bytes can become when deflated in chunks:
// every chunk's output fits its bound, so the sum of the bounds is a limit.
std::uint64_t DeflatedSizeLimit(std::uint64_t length, int level) {
    const std::uint64_t chunk = ChunkSize(level);
    const std::uint64_t chunks = length / chunk + 1;
    return length + length / 10 + chunks * 268;
}

}  // namespace

// ---------------------------------------------------------------- settings

TBraskBaseArchiver::TBraskBaseArchiver(std::string name) : name_(std::move(name)) {}

TBraskBaseArchiver::~TBraskBaseArchiver() { Close(); }

void TBraskBaseArchiver::Raise(int code, const std::vector<std::string>& args) const {
    throw EBraskException(name_, code, args);
}

void TBraskBaseArchiver::RequireNotCommitting() const {
    if (state_ == ArchiveState::Committing) Raise(brask_code::kBusy);
}

void TBraskBaseArchiver::SetCompressionLevel(TBraskCompressionLevel level) {
    static constexpr int kModes[] = {0, 1, 6, 9};
    if (level < clNone || level > clMax) Raise(brask_code::kInvalidCompressionMode);
    compression_level_ = level;
    compression_mode_ = kModes[level];
    UpdateCompressionMethod();
}

void TBraskBaseArchiver::SetCompressionMode(int mode) {
    if (mode < 0 || mode > 9) Raise(brask_code::kInvalidCompressionMode);
    compression_mode_ = mode;
    compression_level_ = mode == 0 ? clNone : mode <= 3 ? clFastest : mode <= 6 ? clNormal : clMax;
    UpdateCompressionMethod();
}

void TBraskBaseArchiver::UpdateCompressionMethod() { method_code_ = 0xFFFF; }

int TBraskBaseArchiver::EntryCount() const noexcept {
    return dir_manager_ ? dir_manager_->Entries().Count() : 0;
}

const TBraskDirItem& TBraskBaseArchiver::Entry(int index) const {
    if (!dir_manager_) Raise(brask_code::kIndexGet);
    return dir_manager_->Entries().Item(index);
}

// ---------------------------------------------------------------- hooks

bool TBraskBaseArchiver::DoOverallProgress(TBraskProcessOperation op, TBraskProgressPhase phase,
                                           double percent) {
    bool abort = false;
    if (OnOverallProgress) OnOverallProgress(op, phase, abort, percent);
    return abort;
}

bool TBraskBaseArchiver::DoFileProgress(const std::string& name, TBraskProcessOperation op,
                                        TBraskProgressPhase phase, double percent) {
    bool abort = false;
    if (OnFileProgress) OnFileProgress(name, op, abort, phase, percent);
    return abort;
}

bool TBraskBaseArchiver::DoConfirmOverwrite(const std::string& source_path,
                                            const std::string& stored_name) {
    bool confirm = false;
    if (OnConfirmOverwrite) OnConfirmOverwrite(source_path, stored_name, confirm);
    return confirm;
}

bool TBraskBaseArchiver::DoConfirmProcessFile(const std::string& path, TBraskProcessOperation op) {
    bool confirm = true;
    if (OnConfirmProcessFile) OnConfirmProcessFile(path, op, confirm);
    return confirm;
}

TBraskAction TBraskBaseArchiver::DoProcessFileFailure(const std::string& path,
                                                      TBraskProcessOperation op,
                                                      const std::string& message,
                                                      int message_index, int native_error) {
    if (!OnProcessFileFailure) return AskFailurePrompt(message);
    TBraskAction action = fxaAbort;
    OnProcessFileFailure(path, op, action, message, message_index, native_error);
    return action;
}

void TBraskBaseArchiver::DoStoreFile(std::string& stored_name, std::uint32_t& attributes,
                                     std::string& comment) {
    if (OnStoreFile) OnStoreFile(stored_name, attributes, comment);
}

// ---------------------------------------------------------------- life cycle

void TBraskBaseArchiver::Open(std::uint32_t mode) {
    RequireNotCommitting();
    if (FileNamePart(file_name_).empty()) Raise(brask_code::kBlankFileName);
    const bool exists = QueryFileInfo(file_name_).kind != FileKind::Missing;
    if (mode != kCreateMode && !exists) Raise(brask_code::kFileNotFound, {file_name_});
    Close();
    if (mode != kCreateMode) Raise(brask_code::kExistingArchive, {file_name_});

    const std::string path = FullPath(file_name_, CurrentFolder());
    auto fail = [&](const std::string& reason) {
        throw EFCreateError("Cannot create file \"" + path + "\". " + reason);
    };
    // Opened without truncation first, so that an archive another writer
    // holds locked is refused before its bytes are touched.
    int err = 0;
    File file = File::TryOpen(path, OpenMode::OpenOrCreate, err);
    if (!file.IsOpen()) fail(SystemReason(err));
    if (const int lock_err = file.TryLock(true); lock_err != 0) fail(SystemReason(lock_err));
    try {
        file.Truncate(0);
    } catch (const EFileError& e) {
        fail(e.what());
    }

    archive_ = std::move(file);
    archive_path_ = path;
    dir_manager_ = std::make_unique<TBraskDirManager>(archive_, &name_, true, 0);
    update_depth_ = 0;
    state_ = ArchiveState::Open;
    if (AfterOpen) AfterOpen();
}

void TBraskBaseArchiver::Close() noexcept {
    if (state_ == ArchiveState::Committing) {
        close_requested_ = true;
        abort_ = true;
        return;
    }
    if (state_ == ArchiveState::Closed) return;
    try {
        if (update_depth_ > 0) CommitUpdate();
        if (state_ == ArchiveState::Closed) return;  // closed at the commit's end
        if (archive_.Size() == 0) {
            archive_.Seek(0);
            try {
                dir_manager_->WriteCentralDirectory();
            } catch (...) {
                archive_.Truncate(0);  // never a torn end record
                throw;
            }
            if (options_.FlushBuffers) archive_.Sync();
        }
    } catch (...) {
        // Close never raises: the archive on disk is whatever the last
        // commit or its rollback left, which is always a valid archive.
    }
    state_ = ArchiveState::Closed;
    update_depth_ = 0;
    dir_manager_.reset();
    try {
        archive_.Close();
    } catch (...) {
    }
    archive_ = File();
}

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

// ---------------------------------------------------------------- entries

TBraskDirItem TBraskBaseArchiver::MakeEntry(const std::string& source_path,
                                            const std::string& stored_name, bool is_folder,
                                            std::uint32_t attributes, const std::string& comment,
                                            std::uint32_t dos_time) const {
    TBraskDirItem item;
    const std::uint16_t version = options_.OEMFileNames ? kVersionFat20 : kVersionNtfs20;
    item.header.version_made_by = version;
    item.header.version_needed = version;
    item.header.flags = NameFlags(stored_name);
    item.header.method = method_code_;
    item.header.crc32 = kUnknownCrc;
    item.header.time = static_cast<std::uint16_t>(dos_time);
    item.header.date = static_cast<std::uint16_t>(dos_time >> 16);
    item.header.external_attributes = attributes;
    if (is_folder) {
        item.header.method = kMethodStored;
        item.header.crc32 = 0;
        item.header.flags |= kFlagFolderEntry;
    }
    item.stored_name = stored_name;
    item.comment = comment;
    item.is_folder = is_folder;
    item.modified = true;
    item.source_path = source_path;
    item.level = is_folder ? 0 : compression_mode_;
    return item;
}

int TBraskBaseArchiver::RegisterEntry(const std::string& source_path,
                                      const std::string& stored_name) {
    RequireNotCommitting();
    if (state_ == ArchiveState::Closed) Raise(brask_code::kArchiveNotOpen);
    if (state_ == ArchiveState::Open) {
        BeginUpdate();
        int index = -1;
        try {
            index = RegisterEntry(source_path, stored_name);
        } catch (...) {
            CancelUpdate();
            throw;
        }
        EndUpdate();
        return index;
    }

    const FileInfo info = QueryFileInfo(source_path);
    const bool is_folder = info.kind == FileKind::Folder;
    std::string name = stored_name;
    if (is_folder && (name.empty() || name.back() != '/')) name += '/';
    std::uint32_t attributes = info.kind == FileKind::File ? info.attributes
                               : is_folder                 ? kAttrFolder
                                                           : kAttrArchive;
    std::string comment;
    DoStoreFile(name, attributes, comment);
    if (name.size() > kMaxFieldLength || comment.size() > kMaxFieldLength) {
        Raise(brask_code::kFieldTooLong, {name.substr(0, 260)});
    }
    const DosDateTime stamp =
        info.kind == FileKind::File ? DosDateTimeFromUnix(info.last_write) : DosDateTimeNow();

    TBraskDirArray& entries = dir_manager_->Entries();
    TBraskDirItem item =
        MakeEntry(source_path, name, is_folder, attributes, comment, stamp.Packed());
    const int existing = entries.IndexOfName(name);
    if (existing < 0) {
        item.operation = poAdd;
        return entries.Add(std::move(item));
    }

    const TBraskDirItem& old = entries.Item(existing);
    const std::uint32_t old_stamp = (std::uint32_t{old.header.date} << 16) | old.header.time;
    bool replace = false;
    switch (options_.OverwriteMode) {
        case omAlways: replace = true; break;
        case omNever: replace = false; break;
        case omPrompt: replace = DoConfirmOverwrite(source_path, name); break;
        case omIfNewer: replace = stamp.Packed() > old_stamp; break;
        case omIfOlder: replace = stamp.Packed() < old_stamp; break;
    }
    if (!replace) return -1;
    // An entry registered earlier in this same update is still new to the
    // archive; only one the archive already holds is an update.
    item.operation = dir_manager_->Snapshot().IndexOfName(name) >= 0 ? poUpdate : poAdd;
    entries.Put(existing, std::move(item));
    return existing;
}

// The bridge from folder collection to the archive it fills.
class CollectionAdapter : public CollectionSink {
public:
    explicit CollectionAdapter(TBraskBaseArchiver& archiver) : archiver_(archiver) {}
    bool ConfirmProcessFile(const std::string& path) override {
        return archiver_.DoConfirmProcessFile(path, poAdd);
    }
    int Register(const std::string& path, const std::string& stored_name) override {
        return archiver_.RegisterEntry(path, stored_name);
    }
    void StoreUncompressed(int index) override {
        TBraskDirItem& item = archiver_.dir_manager_->Entries().Item(index);
        item.level = 0;
        item.header.method = kMethodStored;
    }

private:
    TBraskBaseArchiver& archiver_;
};

void TBraskBaseArchiver::AddFromBaseDir(const std::string& file_mask) {
    AddFromBaseDir(file_mask, options_.SearchAttr);
}

void TBraskBaseArchiver::AddFromBaseDir(const std::string& file_mask, std::uint16_t search_attr,
                                        const std::string& exclusion_mask) {
    RequireNotCommitting();
    if (state_ == ArchiveState::Closed) Raise(brask_code::kArchiveNotOpen);

    CollectionSettings settings;
    settings.search_attr = search_attr;
    settings.recurse = options_.Recurse;
    settings.store_path = options_.StorePath;
    settings.exclusion_masks.push_back(NormalizeMaskSeparators(exclusion_mask));
    for (const std::string& mask : ExclusionMasks) {
        settings.exclusion_masks.push_back(NormalizeMaskSeparators(mask));
    }
    for (const std::string& mask : NoCompressionMasks) {
        settings.no_compression_masks.push_back(NormalizeMaskSeparators(mask));
    }
    settings.archive = QueryFileInfo(archive_path_).identity;

    BeginUpdate();
    try {
        {
            std::lock_guard<std::mutex> hold(CollectionLock());
            const std::string base = ResolveFolder(base_dir_, CurrentFolder());
            // A base folder that is not there is an error, not an empty archive.
            const std::string base_path = FullPath(base, CurrentFolder());
            struct stat st {};
            int err = 0;
            if (::stat(base_path.c_str(), &st) != 0) {
                err = errno;
            } else if (!S_ISDIR(st.st_mode)) {
                err = ENOTDIR;
            }
            if (err != 0) {
                throw EFOpenError("Cannot open file \"" + base_path + "\". " + SystemReason(err));
            }
            settings.base = base;
            CollectionAdapter adapter(*this);
            CollectFromBaseDir(NormalizeMaskSeparators(file_mask), settings, adapter);
        }
        EndUpdate();
    } catch (...) {
        CancelUpdate();
        throw;
    }
}

// ---------------------------------------------------------------- commit

File TBraskBaseArchiver::OpenSource(const std::string& path) {
    int err = 0;
    File source = File::TryOpen(path, OpenMode::Read, err);
    if (!source.IsOpen()) Raise(brask_code::kCannotOpenSource, {path});
    // POSIX has no share modes; advisory locks carry the same request to
    // every program that honours them.
    int lock_err = 0;
    switch (options_.ShareMode) {
        case smShareDenyNone: break;
        case smShareDenyWrite: lock_err = source.TryLock(false); break;
        case smShareDenyRead:
        case smShareExclusive:
        case smShareCompat: lock_err = source.TryLock(true); break;
    }
    if (lock_err != 0) Raise(brask_code::kCannotOpenSource, {path});
    return source;
}

bool TBraskBaseArchiver::WriteEntry(TBraskDirItem& item) {
    UpdateCompressionMethod();
    if (DoFileProgress(item.stored_name, item.operation, ppStart, 0)) {
        abort_ = true;
        return false;
    }
    // A name that would land outside the extracting folder (or split a
    // listing line) is refused here, where the failure prompt can leave it out.
    if (!IsSafeEntryName(item.stored_name)) {
        Raise(brask_code::kUnsafeEntryName,
              {PrintableName(item.source_path), PrintableName(item.stored_name)});
    }
    File source;
    std::uint64_t length = 0;
    if (!item.is_folder) {
        source = OpenSource(item.source_path);
        length = static_cast<std::uint64_t>(source.Size());
    }
    const bool deflate = item.header.method == kMethodDeflated && length > 0;

    const auto offset = static_cast<std::uint64_t>(archive_.Position());
    bool zip64 = offset >= kZip64Marker32 || zip64_mode_ == zmAlways;
    if (zip64_mode_ == zmAuto) {
        // The local header's room for 64-bit sizes must be reserved before
        // the data is known, so zmAuto reserves it for any source whose
        // data could reach 4 GiB.
        const std::uint64_t limit = deflate ? DeflatedSizeLimit(length, item.level) : length;
        if (limit >= kZip64Marker32) zip64 = true;
    }
    const std::uint16_t version = zip64 || length >= kZip64Marker32 ? kVersionZip64
                                  : options_.OEMFileNames           ? kVersionFat20
                                                                    : kVersionNtfs20;
    item.header.version_made_by = version;
    item.header.version_needed = version;
    if (zip64 && zip64_mode_ == zmDisabled) Raise(brask_code::kZip64OffsetNeeded, {item.source_path});
    if (length >= kZip64Marker32 && zip64_mode_ == zmDisabled) {
        Raise(brask_code::kZip64SizeNeeded, {item.source_path});
    }
    item.local_header_offset = offset;
    item.needs_zip64 = zip64;

    LocalHeader local;
    local.version_needed = version;
    local.flags = item.header.flags & kFlagUtf8Name;  // the folder flag is central-only
    local.method = item.header.method;
    local.time = item.header.time;
    local.date = item.header.date;
    local.crc32 = item.header.crc32;
    local.compressed_size = zip64 ? kZip64Marker32 : 0;
    local.uncompressed_size = zip64 ? kZip64Marker32 : static_cast<std::uint32_t>(length);
    local.name_length = static_cast<std::uint16_t>(item.stored_name.size());
    local.extra_length = zip64 ? static_cast<std::uint16_t>(kLocalZip64ExtraSize) : 0;

    std::vector<std::uint8_t> head;
    AppendLocalHeader(head, local);
    head.insert(head.end(), item.stored_name.begin(), item.stored_name.end());
    // Sizes 0 for now: final for a folder, rewritten below for a file.
    if (zip64) AppendZip64Extra(head, {0, 0});
    if (archive_.WriteSome(head.data(), head.size()) != head.size()) {
        throw EWriteError(kStreamWriteError);
    }

    if (!item.is_folder) {
        const CompressOutcome outcome = CompressSource(
            source, length, archive_, item.level, deflate, [&](std::uint64_t bytes_read) {
                const double part = static_cast<double>(bytes_read) / static_cast<double>(length);
                bool stop = DoFileProgress(item.stored_name, item.operation, ppProcess, part * 100);
                const double overall =
                    to_process_ > 0 ? (part + processed_) / to_process_ * 100 : 100;
                stop = DoOverallProgress(item.operation, ppProcess, overall) || stop;
                return stop;
            });
        if (outcome.aborted) {
            abort_ = true;
            return false;
        }
        // No other file can go where this one did not fit: the whole
        // update fails, with the cause the user can act on.
        if (outcome.disk_full) throw EFileError(kDiskFull);
        if (outcome.bytes_read != length) {
            Raise(brask_code::kInvalidCompressedSize,
                  {std::to_string(length), std::to_string(outcome.bytes_read)});
        }
        if (outcome.bytes_written >= kZip64Marker32 && !zip64) {
            Raise(brask_code::kZip64SizeNeeded, {item.source_path});
        }
        item.header.crc32 = outcome.crc32;
        item.compressed_size = outcome.bytes_written;
        item.uncompressed_size = length;
        if (length == 0) item.header.method = kMethodStored;

        local.method = item.header.method;
        local.crc32 = item.header.crc32;
        if (!zip64) {
            local.compressed_size = static_cast<std::uint32_t>(outcome.bytes_written);
            local.uncompressed_size = static_cast<std::uint32_t>(length);
        }
        head.clear();
        AppendLocalHeader(head, local);
        archive_.Seek(static_cast<std::int64_t>(offset));
        if (archive_.WriteSome(head.data(), head.size()) != head.size()) {
            throw EWriteError(kStreamWriteError);
        }
        if (zip64) {
            head.clear();
            AppendZip64Extra(head, {length, outcome.bytes_written});
            archive_.Seek(static_cast<std::int64_t>(offset + kLocalHeaderSize + item.stored_name.size()));
            if (archive_.WriteSome(head.data(), head.size()) != head.size()) {
                throw EWriteError(kStreamWriteError);
            }
        }
        archive_.SeekToEnd();
    } else {
        item.compressed_size = 0;
        item.uncompressed_size = 0;
    }
    DoFileProgress(item.stored_name, item.operation, ppEnd, 100);
    return true;
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
                    --to_process_;
                    if (item.operation == poUpdate) {
                        CopyOldEntry(item, old_tail.get(), write_offset, old_directory_offset);
                        ++i;
                    } else {
                        entries.Delete(i);
                    }
                    continue;
                }
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
