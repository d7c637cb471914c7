// AddFromBaseDir: the archive writer's side of the folder collection. The
// walk itself (folder_collection.h) knows nothing of archives; the adapter
// below answers its questions with the writer's hooks and registers what
// it finds.
#include "archive/base_archiver.h"

#include <cerrno>
#include <mutex>

#include "archive/archive_paths.h"
#include "archive/brask_exception.h"
#include "archive/central_directory.h"
#include "archive/file_info.h"
#include "archive/folder_collection.h"
#include "archive/writer_env.h"
#include "archive/zip_records.h"
#include "core/errors.h"
#include "core/platform.h"

namespace grix {

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
            const platform::PathStatus status = platform::QueryPath(base_path);
            int err = status.error;
            if (err == 0 && !status.is_folder) err = ENOTDIR;
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

}  // namespace grix
