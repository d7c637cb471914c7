#include "core/staged_file.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/errors.h"
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

namespace {

// The record of a pair being committed: names within its folder, NUL
// separated (file names hold no NUL), complete only with its last field.
constexpr const char* kPairRecordTag = "grix-pair 1";
constexpr const char* kPairRecordEnd = "end";
constexpr const char* kPairRecordInfix = "pair-";

struct PairRecord {
    std::string first_final;
    std::string backup;  // empty when no link was made
    bool had_earlier = false;
    std::string second_temp;
    std::string second_final;
};

std::string NameOf(const std::string& path) {
    const auto at = path.find_last_of(kWindowsPaths ? "/\\" : "/");
    return at == std::string::npos ? path : path.substr(at + 1);
}

// Written in full and synced before the first rename, so that a record
// that parses describes renames that may have started.
std::string WritePairRecord(const std::string& folder, const std::string& prefix,
                            const PairRecord& record) {
    std::string text = std::string(kPairRecordTag) + '\0' + record.first_final + '\0' +
                       record.backup + '\0' + (record.had_earlier ? "1" : "0") + '\0' +
                       record.second_temp + '\0' + record.second_final + '\0' + kPairRecordEnd;
    File file = File::CreateUnique(folder, prefix + kPairRecordInfix);
    const std::string path = file.Path();
    try {
        file.WriteAll(text.data(), text.size());
        file.Sync();
        file.Close();
    } catch (...) {
        RemoveFile(path);
        throw;
    }
    return path;
}

// A name from a record is used only when it stays inside the folder, so a
// record planted by someone else can rename nothing outside it.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(kWindowsPaths ? "/\\:" : "/") == std::string::npos;
}

bool ReadPairRecord(const std::string& path, const std::string& prefix, PairRecord& record) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(path, 64 * 1024);
    } catch (const std::exception&) {
        return false;
    }
    std::vector<std::string> fields(1);
    for (const std::uint8_t byte : bytes) {
        if (byte == 0)
            fields.emplace_back();
        else
            fields.back() += static_cast<char>(byte);
    }
    if (fields.size() != 7 || fields[0] != kPairRecordTag || fields[6] != kPairRecordEnd)
        return false;
    record = {fields[1], fields[2], fields[3] == "1", fields[4], fields[5]};
    const bool backup_ok = record.backup.empty() ||
                           (IsPlainName(record.backup) && record.backup.rfind(prefix, 0) == 0);
    return IsPlainName(record.first_final) && IsPlainName(record.second_final) &&
           IsPlainName(record.second_temp) && record.second_temp.rfind(prefix, 0) == 0 && backup_ok;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(NativePath(path), ec));
}

}  // namespace

std::vector<std::string> RecoverHalfCommittedPairs(const std::string& folder,
                                                   const std::string& prefix) {
    namespace fs = std::filesystem;
    std::vector<std::string> records;
    std::error_code ec;
    for (fs::directory_iterator it(NativePath(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        if (Utf8Path(it->path().filename()).rfind(prefix + kPairRecordInfix, 0) == 0)
            records.push_back(Utf8Path(it->path()));
    }
    std::vector<std::string> mended;
    for (const std::string& path : records) {
        PairRecord record;
        // The second temporary file is gone once its rename is done (or once
        // an in-process failure undid the first): nothing is half-way then.
        if (ReadPairRecord(path, prefix, record) && Exists(JoinPath(folder, record.second_temp))) {
            const std::string first_final = JoinPath(folder, record.first_final);
            try {
                if (!record.backup.empty()) {
                    // A link that is gone was put back already, by the
                    // failed commit itself.
                    if (Exists(JoinPath(folder, record.backup))) {
                        RenameFile(JoinPath(folder, record.backup), first_final);
                        mended.push_back(first_final);
                    }
                } else if (!record.had_earlier) {
                    // The first name was new: without it the earlier state
                    // (no pair) is back.
                    if (RemoveFile(first_final))
                        mended.push_back(first_final);
                } else {
                    // No link to restore from, but both staged files were
                    // complete before the first rename: finish the second.
                    RenameFile(JoinPath(folder, record.second_temp),
                               JoinPath(folder, record.second_final));
                    mended.push_back(first_final);
                }
            } catch (const std::exception& e) {
                // The record and the link stay for another try; the caller
                // must not go on to remove them as leftovers.
                throw Error("Can not mend " + first_final +
                            " after a build that was stopped: " + e.what());
            }
        }
        RemoveFile(path);
    }
    return mended;
}

void WriteFileStaged(const std::string& path, const std::vector<std::uint8_t>& bytes,
                     const std::string& prefix) {
    StagedFile staged(path, prefix);
    File out = File::Open(staged.TempPath(), OpenMode::Replace);
    out.WriteAll(bytes);
    out.Close();
    staged.Commit();
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

    const std::string record =
        WritePairRecord(folder, backup_prefix,
                        {NameOf(first.FinalPath()), NameOf(backup), had_earlier,
                         NameOf(second.TempPath()), NameOf(second.FinalPath())});
    struct Record {
        const std::string& path;
        ~Record() { RemoveFile(path); }
    } remove_record{record};

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
