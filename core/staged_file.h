// A file written under a unique temporary name in the folder of its final
// name, and put in place by one rename only when it is complete. Until then
// whatever has the final name stays exactly as it was; a staged file that is
// never committed is removed by its owner's destructor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace grix {

class StagedFile {
  public:
    // Creates the empty temporary file (exclusively, under an unpredictable
    // name starting with `prefix`) beside `final_path`, or throws EFileError.
    StagedFile(std::string final_path, const std::string& prefix);
    ~StagedFile();  // removes the temporary file unless committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::string& TempPath() const noexcept { return temp_path_; }
    const std::string& FinalPath() const noexcept { return final_path_; }

    // Renames the temporary file over the final name (EFileError on failure,
    // which leaves both as they were).
    void Commit();

  private:
    std::string final_path_;
    std::string temp_path_;
    bool committed_ = false;
};

// Replaces the file at `path` with `bytes` in one step: staged under a
// name starting with `prefix`, then renamed over it, so that a link at
// `path` is replaced, never written through. Throws EFileError.
void WriteFileStaged(const std::string& path, const std::vector<std::uint8_t>& bytes,
                     const std::string& prefix);

// Puts two staged files in place as a pair: `first` and then `second`. When
// the second rename fails the first is undone (the earlier file restored
// from a hard link kept for the purpose, or the new one removed when there
// was none), so both final names keep what they had. `backup_prefix` names
// that link, and a small record of the pair kept while the renames run, so
// that a process killed between them can be mended by
// RecoverHalfCommittedPairs. Throws the failure's EFileError.
void CommitPair(StagedFile& first, StagedFile& second, const std::string& backup_prefix);

// Mends every pair in `folder` whose CommitPair (with the same prefix) was
// stopped between its two renames: the earlier first file comes back from
// its link, or, where no link could be made, the second rename is finished;
// either way the two final names hold a matching pair again. Answers the
// first final paths it mended; throws Error naming the file when a pair
// cannot be mended (its record and link are kept). Call it before removing
// the prefix's leftovers: the link is one of them.
std::vector<std::string> RecoverHalfCommittedPairs(const std::string& folder,
                                                   const std::string& prefix);

}  // namespace grix
