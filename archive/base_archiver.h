// TBraskBaseArchiver: settings, life cycle (open, update, commit, close),
// entry registration and writing of the archive writer. TBrask (brask.h)
// is the ZIP variant programs use.
//
// Life cycle, checked on entry to every operation:
//   Closed --Open--> Open --BeginUpdate--> Updating --outermost EndUpdate-->
//   Committing (entries, central directory) --> Open --Close--> Closed.
// Only the create path exists: Open in kCreateMode writes a new archive;
// existing archives are never read.
//
// The class's code lies in four files, one idea each: base_archiver.cpp
// (settings, hooks, Open and Close, registering entries), write_entry.cpp
// (writing one entry), update_commit.cpp (the update and its commit, with
// the rollback) and collection_adapter.cpp (AddFromBaseDir over the folder
// collection).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/brask_types.h"
#include "archive/entry_list.h"
#include "archive/failure_policy.h"
#include "archive/zip_records.h"
#include "core/file.h"

namespace grix {

class TBraskDirManager;
class TempFile;

enum class ArchiveState { Closed, Open, Updating, Committing };

class TBraskBaseArchiver {
public:
    virtual ~TBraskBaseArchiver();
    TBraskBaseArchiver(const TBraskBaseArchiver&) = delete;
    TBraskBaseArchiver& operator=(const TBraskBaseArchiver&) = delete;

    // ---- Settings ----
    // The component's name: the prefix ("<Name>: ") of its messages.
    const std::string& Name() const noexcept { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    // The archive file; takes effect at the next Open.
    const std::string& FileName() const noexcept { return file_name_; }
    void SetFileName(std::string file_name) { file_name_ = std::move(file_name); }
    // The folder AddFromBaseDir searches and names entries relative to.
    const std::string& BaseDir() const noexcept { return base_dir_; }
    void SetBaseDir(std::string base_dir) { base_dir_ = std::move(base_dir); }
    // Two views of one setting: clNone 0, clFastest 1, clNormal 6, clMax 9;
    // modes 1-3 read as clFastest, 4-6 clNormal, 7-9 clMax. A mode above 9
    // (or below 0) fails with code 5.
    TBraskCompressionLevel CompressionLevel() const noexcept { return compression_level_; }
    void SetCompressionLevel(TBraskCompressionLevel level);
    int CompressionMode() const noexcept { return compression_mode_; }
    void SetCompressionMode(int mode);
    // zmDisabled refuses entries that need Zip64 values (codes 41 and 43);
    // zmAuto writes them where a size or offset needs them; zmAlways for
    // every entry.
    TZip64Mode Zip64Mode() const noexcept { return zip64_mode_; }
    void SetZip64Mode(TZip64Mode mode) noexcept { zip64_mode_ = mode; }
    TBraskOptions& Options() noexcept { return options_; }
    const TBraskOptions& Options() const noexcept { return options_; }
    // How a source that cannot be written is answered when no
    // OnProcessFileFailure handler is set; by default the program's
    // installed prompt is asked.
    void SetFailurePolicy(FailurePolicy policy) { failure_policy_ = std::move(policy); }
    // Files whose paths these masks match are stored, not deflated.
    std::vector<std::string> NoCompressionMasks;
    // Masks whose matches AddFromBaseDir leaves out, after the call's own.
    std::vector<std::string> ExclusionMasks;

    // ---- State ----
    ArchiveState State() const noexcept { return state_; }
    bool IsOpen() const noexcept { return state_ != ArchiveState::Closed; }
    int UpdateDepth() const noexcept { return update_depth_; }
    // The entry list of the open archive (empty when closed).
    int EntryCount() const noexcept;
    const TBraskDirItem& Entry(int index) const;
    // The sources the last commit left out and the failure that aborted it;
    // an abort leaves no exception to tell it by.
    const CommitReport& LastCommit() const noexcept { return last_commit_; }

    // ---- Operations ----
    // kCreateMode creates a new, empty archive named FileName, replacing
    // any file of that name ("Cannot create file "%s". %s" when it cannot).
    // Other modes fail: code 12 for a missing file, 61 for an existing one.
    void Open(std::uint32_t mode);
    // Commits a pending update, makes an archive that was never written a
    // valid empty one (22 bytes) and releases the file. Never raises.
    void Close() noexcept;
    void BeginUpdate();
    // Only the outermost EndUpdate commits; without an update it does nothing.
    void EndUpdate();
    // Drops the update: its registered entries are forgotten, nothing is written.
    void CancelUpdate();
    // Registers a file or folder as an entry of the pending update (outside
    // one, it is added in an update of its own). Answers its index, or -1
    // when OverwriteMode keeps an existing entry of that name.
    int RegisterEntry(const std::string& source_path, const std::string& stored_name);
    // Adds what BaseDir holds that matches the mask, the attribute set and
    // no exclusion mask, in one update: the archive is complete on disk
    // when it returns. Without an open archive it fails with code 13.
    void AddFromBaseDir(const std::string& file_mask, std::uint16_t search_attr,
                        const std::string& exclusion_mask = "");
    // The same with Options().SearchAttr.
    void AddFromBaseDir(const std::string& file_mask);

    // ---- Events ---- (none is required; see the Do* hooks for defaults)
    // Progress of one entry; set abort to stop the update (it is rolled back).
    std::function<void(const std::string& name, TBraskProcessOperation op, bool& abort,
                       TBraskProgressPhase phase, double percent)>
        OnFileProgress;
    std::function<void(TBraskProcessOperation op, TBraskProgressPhase phase, bool& abort,
                       double percent)>
        OnOverallProgress;
    // With omPrompt: may the entry stored_name be replaced by source_path?
    // Without a handler the existing entry is kept.
    std::function<void(const std::string& source_path, const std::string& stored_name,
                       bool& confirm)>
        OnConfirmOverwrite;
    // May this file or folder be added? Without a handler: yes.
    std::function<void(const std::string& path, TBraskProcessOperation op, bool& confirm)>
        OnConfirmProcessFile;
    std::function<void()> AfterOpen;
    // A source could not be written (codes 33, 34, 41, 43): answer Retry,
    // Ignore (the entry is left out) or Abort (the update is rolled back).
    // Without a handler the FailurePolicy answers.
    std::function<void(const std::string& path, TBraskProcessOperation op, TBraskAction& action,
                       const std::string& message, int message_index, int native_error)>
        OnProcessFileFailure;
    // May change an entry's name, attributes and comment as it is registered.
    std::function<void(std::string& stored_name, std::uint32_t& attributes, std::string& comment)>
        OnStoreFile;

protected:
    explicit TBraskBaseArchiver(std::string name);

    // Sets the method code new entries get from CompressionMode; the base
    // has none (0xFFFF).
    virtual void UpdateCompressionMethod();
    std::uint16_t CompressionMethod() const noexcept { return method_code_; }
    void SetCompressionMethod(std::uint16_t code) noexcept { method_code_ = code; }
    bool IsArchiveFormatZip() const noexcept { return is_archive_format_zip_; }
    void SetIsArchiveFormatZip(bool zip) noexcept { is_archive_format_zip_ = zip; }

    // The hooks behind the events; each answers what its event decided.
    virtual bool DoOverallProgress(TBraskProcessOperation op, TBraskProgressPhase phase,
                                   double percent);  // true: abort
    virtual bool DoFileProgress(const std::string& name, TBraskProcessOperation op,
                                TBraskProgressPhase phase, double percent);  // true: abort
    virtual bool DoConfirmOverwrite(const std::string& source_path, const std::string& stored_name);
    virtual bool DoConfirmProcessFile(const std::string& path, TBraskProcessOperation op);
    virtual TBraskAction DoProcessFileFailure(const std::string& path, TBraskProcessOperation op,
                                              const std::string& message, int message_index,
                                              int native_error);
    virtual void DoStoreFile(std::string& stored_name, std::uint32_t& attributes,
                             std::string& comment);

private:
    friend class CollectionAdapter;

    [[noreturn]] void Raise(int code, const std::vector<std::string>& args = {}) const;
    void RequireNotCommitting() const;
    void CommitUpdate();
    // Puts the entry list and the file back as they were before the update.
    void Rollback(TempFile* old_tail, std::uint64_t write_offset,
                  std::uint64_t old_directory_offset, const EndRecord& old_end);
    // Writes one entry at the end of the archive; false when progress aborted.
    bool WriteEntry(TBraskDirItem& item);
    File OpenSource(const std::string& path);
    // Copies an entry that stays as it was from the copy of the old tail.
    void CopyOldEntry(TBraskDirItem& item, TempFile* old_tail, std::uint64_t write_offset,
                      std::uint64_t old_directory_offset);
    TBraskDirItem MakeEntry(const std::string& source_path, const std::string& stored_name,
                            bool is_folder, std::uint32_t attributes, const std::string& comment,
                            std::uint32_t dos_time) const;

    std::string name_;
    std::string file_name_;
    std::string base_dir_;
    TBraskCompressionLevel compression_level_ = clFastest;
    int compression_mode_ = 1;
    TZip64Mode zip64_mode_ = zmAuto;
    TBraskOptions options_;
    FailurePolicy failure_policy_;
    std::uint16_t method_code_ = 0xFFFF;
    bool is_archive_format_zip_ = false;

    ArchiveState state_ = ArchiveState::Closed;
    int update_depth_ = 0;
    File archive_;
    std::string archive_path_;  // absolute, as opened
    std::unique_ptr<TBraskDirManager> dir_manager_;

    // Progress of the running commit.
    int processed_ = 0;
    int to_process_ = 0;
    bool abort_ = false;
    CommitReport last_commit_;
    // Close() called by an event handler while a commit runs: the commit
    // is abandoned and the archive closed once it has unwound.
    bool close_requested_ = false;
};

}  // namespace grix
