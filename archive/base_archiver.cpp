#include "archive/base_archiver.h"

#include <utility>

#include "archive/archive_paths.h"
#include "archive/brask_exception.h"
#include "archive/central_directory.h"
#include "archive/dos_time.h"
#include "archive/file_info.h"
#include "archive/writer_env.h"
#include "archive/zip_records.h"
#include "core/errors.h"
#include "core/text.h"

namespace grix {
namespace {

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
    if (!OnProcessFileFailure) return AnswerFailure(failure_policy_, message, native_error);
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

}  // namespace grix
