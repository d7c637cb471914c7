// The one small file layer every part of Grix reads and writes through.
//
// Files are plain descriptors owned by File, closed by its destructor on
// every exit path. The system calls behind it go through FileOps so that
// tests can simulate a full disk, a file that cannot be opened or a source
// that ends early, without root tricks (tests run as root, where
// permissions alone cannot make a file unreadable).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/file_error.h"

namespace grix {

// Only regular files are ever read or written: a pipe would block for ever,
// a device would never end.
enum class FileType { Regular, Folder, Other };

struct FileStatus {
    FileType type = FileType::Other;
    std::int64_t size = 0;
};

class FileOps {
public:
    virtual ~FileOps() = default;
    // Each returns what the POSIX call returns and leaves errno set on failure.
    virtual int Open(const std::string& path, int flags, int mode);
    virtual long long Read(int fd, void* buffer, std::size_t count);
    virtual long long Write(int fd, const void* buffer, std::size_t count);
    virtual long long Seek(int fd, long long offset, int whence);
    virtual int Truncate(int fd, long long length);
    virtual int Sync(int fd);
    virtual int Close(int fd);
    // A non-blocking advisory lock (flock) that cooperating processes see:
    // shared or exclusive. 0, or -1 with errno (EWOULDBLOCK when held elsewhere).
    virtual int Lock(int fd, bool exclusive);
    // What an open descriptor is (fstat).
    virtual int Status(int fd, FileStatus& status);
    // Replaces `to` by `from` in one step (rename).
    virtual int Rename(const std::string& from, const std::string& to);
    // Removes a name; a link goes, never what it leads to (unlink).
    virtual int Unlink(const std::string& path);
    // A second name for an existing file (a hard link).
    virtual int Link(const std::string& existing, const std::string& new_name);
    // Flushes a folder's entries to disk, so that a rename survives a crash.
    virtual int SyncFolder(const std::string& path);
};

// The operations in force; the real system calls unless a test replaced them.
FileOps& CurrentFileOps();

// Replaces the file operations for its lifetime (tests only; not thread-safe).
class ScopedFileOps {
public:
    explicit ScopedFileOps(FileOps& ops);
    ~ScopedFileOps();
    ScopedFileOps(const ScopedFileOps&) = delete;
    ScopedFileOps& operator=(const ScopedFileOps&) = delete;

private:
    FileOps* previous_;
};

// Every mode opens without blocking and refuses what is not a regular file
// (a folder with EISDIR, anything else with kNotRegularFileCode). The modes that
// create never follow a link at the path itself.
enum class OpenMode {
    Read,             // existing file, read only
    CreateTruncate,   // create or truncate, write only
    CreateReadWrite,  // create or truncate, read and write
    ReadWrite,        // existing file, read and write
    OpenOrCreate,     // read and write, created when missing, never truncated
    CreateNew,        // read and write, fails when the name is taken (even by a link)
    Replace,          // write only: whatever had the name (a link too) is removed
                      // first and a new file created in its place
};

class File {
public:
    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();  // closes, ignoring a failure: an explicit Close reports it

    // Opens or throws EFileError with the code of the failure.
    [[nodiscard]] static File Open(const std::string& path, OpenMode mode);
    // Opens, or answers a closed File and sets err to the errno value, for
    // callers that word the failure themselves.
    [[nodiscard]] static File TryOpen(const std::string& path, OpenMode mode, int& err) noexcept;
    // Creates a new file in `folder` named `prefix` plus random characters
    // (CreateNew, so nobody can have planted the name), or throws EFileError.
    [[nodiscard]] static File CreateUnique(const std::string& folder, const std::string& prefix);

    bool IsOpen() const noexcept { return fd_ >= 0; }
    const std::string& Path() const noexcept { return path_; }

    // Reads up to count bytes, fewer only at the end of the file.
    [[nodiscard]] std::size_t Read(void* buffer, std::size_t count);
    // Writes up to count bytes and answers how many went out; fewer only when
    // the disk is full. Other failures throw.
    [[nodiscard]] std::size_t WriteSome(const void* buffer, std::size_t count);
    // Writes everything or throws ("Disk full" for a short write).
    void WriteAll(const void* buffer, std::size_t count);
    void WriteAll(const std::vector<std::uint8_t>& bytes) { WriteAll(bytes.data(), bytes.size()); }

    [[nodiscard]] std::int64_t Size();
    [[nodiscard]] std::int64_t Position();
    void Seek(std::int64_t offset);
    void SeekToEnd();
    void Truncate(std::int64_t length);
    void Sync();
    // Takes an advisory lock without waiting; answers 0 or the errno value.
    // File systems without locks (ENOLCK, EOPNOTSUPP) answer 0: the lock is
    // a courtesy between cooperating programs, not a guarantee.
    [[nodiscard]] int TryLock(bool exclusive) noexcept;
    void Close();  // throws when the system reports a failed close

private:
    File(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::string path_;
};

// A file larger than a reader accepts ("<path> is larger than <n> bytes").
class EFileTooLarge : public Error {
public:
    EFileTooLarge(const std::string& path, std::int64_t limit)
        : Error(path + " is larger than " + std::to_string(limit) + " bytes") {}
};

// Whole-file helpers over File. Reading refuses a file beyond `max_bytes`
// (EFileTooLarge) before allocating anything.
[[nodiscard]] std::vector<std::uint8_t> ReadWholeFile(const std::string& path,
                                                      std::int64_t max_bytes = INT64_MAX);
void WriteWholeFile(const std::string& path, const void* data, std::size_t size);
inline void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    WriteWholeFile(path, bytes.data(), bytes.size());
}
inline void WriteWholeFile(const std::string& path, const std::string& text) {
    WriteWholeFile(path, text.data(), text.size());
}

// `folder` + "/" + `prefix` + 12 random letters and digits: a name nobody
// can guess in advance.
[[nodiscard]] std::string RandomFileName(const std::string& folder, const std::string& prefix);

// Name operations over FileOps. Each throws EFileError for the failure.
void RenameFile(const std::string& from, const std::string& to);
void SyncFolder(const std::string& folder);
// Removes a name (never through a link); answers false when it could not.
bool RemoveFile(const std::string& path) noexcept;

}  // namespace grix
