#include "core/staged_file.h"

#include <cerrno>
#include <utility>

#include "core/file.h"
#include "core/paths.h"
#include "core/scope_exit.h"

namespace grix {

StagedFile::StagedFile(std::string final_path, const std::string& prefix)
    : final_path_(std::move(final_path)) {
    File file = File::CreateUnique(FolderOfPath(final_path_), prefix);
    temp_path_ = file.Path();
    try {
        file.Close();
    } catch (...) {
        RemoveFile(temp_path_);
        throw;
    }
}

StagedFile::~StagedFile() {
    if (!committed_)
        RemoveFile(temp_path_);
}

void StagedFile::Commit() {
    RenameFile(temp_path_, final_path_);
    committed_ = true;
}

void CommitPair(StagedFile& first, StagedFile& second, const std::string& backup_prefix) {
    // A second name for the earlier first file, so that it can come back.
    // Where hard links are not to be had (some removable media), the pair
    // goes in without one: only a failure between the two renames could
    // then lose the earlier file.
    std::string backup;
    bool had_earlier = true;
    const std::string folder = FolderOfPath(first.FinalPath());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = RandomFileName(folder, backup_prefix);
        if (CurrentFileOps().Link(first.FinalPath(), candidate) == 0) {
            backup = candidate;
            break;
        }
        if (errno == ENOENT)
            had_earlier = false;
        if (errno != EEXIST)
            break;
    }
    const ScopeExit remove_backup([&] {
        if (!backup.empty())
            RemoveFile(backup);
    });

    first.Commit();
    try {
        second.Commit();
    } catch (...) {
        if (!backup.empty()) {
            try {
                RenameFile(backup, first.FinalPath());
            } catch (...) {
                // The first failure is the one to report.
            }
        } else if (!had_earlier) {
            RemoveFile(first.FinalPath());
        }
        throw;
    }
}

}  // namespace grix
