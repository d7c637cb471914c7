#include "core/file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <utility>

#ifdef _WIN32
#include <io.h>
#define GRIX_HAS_FLOCK 0
#define GRIX_OPEN ::_open
#define GRIX_READ ::_read
#define GRIX_WRITE ::_write
#define GRIX_SEEK ::_lseeki64
#define GRIX_CLOSE ::_close
#define GRIX_TRUNCATE ::_chsize_s
#define GRIX_SYNC ::_commit
#else
#include <sys/file.h>
#include <unistd.h>
#define GRIX_HAS_FLOCK 1
#define GRIX_OPEN ::open
#define GRIX_READ ::read
#define GRIX_WRITE ::write
#define GRIX_SEEK ::lseek
#define GRIX_CLOSE ::close
#define GRIX_TRUNCATE ::ftruncate
#define GRIX_SYNC ::fsync
#endif

#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef O_NOFOLLOW
#define O_NOFOLLOW 0
#endif

namespace grix {

int FileOps::Open(const std::string& path, int flags, int mode) {
    return GRIX_OPEN(path.c_str(), flags, mode);
}
long long FileOps::Read(int fd, void* buffer, std::size_t count) {
    return GRIX_READ(fd, buffer, static_cast<unsigned>(count));
}
long long FileOps::Write(int fd, const void* buffer, std::size_t count) {
    return GRIX_WRITE(fd, buffer, static_cast<unsigned>(count));
}
long long FileOps::Seek(int fd, long long offset, int whence) {
    return GRIX_SEEK(fd, offset, whence);
}
int FileOps::Truncate(int fd, long long length) {
#ifdef _WIN32
    return GRIX_TRUNCATE(fd, length) == 0 ? 0 : -1;
#else
    return GRIX_TRUNCATE(fd, length);
#endif
}
int FileOps::Sync(int fd) { return GRIX_SYNC(fd); }
int FileOps::Close(int fd) { return GRIX_CLOSE(fd); }
int FileOps::Lock(int fd, bool exclusive) {
#if GRIX_HAS_FLOCK
    return ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
#else
    (void)fd;
    (void)exclusive;
    return 0;
#endif
}

int FileOps::Status(int fd, FileStatus& status) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return -1;
    status.type = S_ISREG(st.st_mode)   ? FileType::Regular
                  : S_ISDIR(st.st_mode) ? FileType::Folder
                                        : FileType::Other;
    status.size = static_cast<std::int64_t>(st.st_size);
    return 0;
}

#ifdef _WIN32
namespace {
// The result of a std::filesystem call as a POSIX-style answer.
int AsPosix(const std::error_code& ec) {
    if (!ec) return 0;
    errno = ec.value();
    return -1;
}
}  // namespace
int FileOps::Rename(const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    return AsPosix(ec);
}
int FileOps::Unlink(const std::string& path) { return ::_unlink(path.c_str()); }
int FileOps::Link(const std::string& existing, const std::string& new_name) {
    std::error_code ec;
    std::filesystem::create_hard_link(existing, new_name, ec);
    return AsPosix(ec);
}
int FileOps::SyncFolder(const std::string&) { return 0; }  // renames are durable there
#else
int FileOps::Rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}
int FileOps::Unlink(const std::string& path) { return ::unlink(path.c_str()); }
int FileOps::Link(const std::string& existing, const std::string& new_name) {
    return ::link(existing.c_str(), new_name.c_str());
}
int FileOps::SyncFolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
    if (fd < 0) return -1;
    int result = ::fsync(fd);
    // Some file systems cannot sync a folder; the rename stands all the same.
    if (result != 0 && (errno == EINVAL || errno == EROFS)) result = 0;
    const int err = errno;
    ::close(fd);
    errno = err;
    return result;
}
#endif

namespace {
FileOps g_system_ops;
FileOps* g_current_ops = &g_system_ops;

// One system call moves at most this much, so that counts fit every
// platform's int-sized read and write.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

[[noreturn]] void ThrowErrno() { throw EFileError::FromErrno(errno); }
}  // namespace

FileOps& CurrentFileOps() { return *g_current_ops; }

ScopedFileOps::ScopedFileOps(FileOps& ops) : previous_(g_current_ops) { g_current_ops = &ops; }
ScopedFileOps::~ScopedFileOps() { g_current_ops = previous_; }

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) CurrentFileOps().Close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

File::~File() {
    if (fd_ >= 0) CurrentFileOps().Close(fd_);
}

File File::TryOpen(const std::string& path, OpenMode mode, int& err) noexcept {
    int flags = O_BINARY | O_CLOEXEC | O_NONBLOCK;
    switch (mode) {
        case OpenMode::Read: flags |= O_RDONLY; break;
        case OpenMode::CreateTruncate: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
        case OpenMode::CreateReadWrite: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
        case OpenMode::ReadWrite: flags |= O_RDWR; break;
        case OpenMode::OpenOrCreate: flags |= O_RDWR | O_CREAT | O_NOFOLLOW; break;
        case OpenMode::CreateNew: flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW; break;
        case OpenMode::Replace: flags |= O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    }
    err = 0;
    if (path.empty()) {
        err = ENOENT;
        return File();
    }
    // Removing the name first means a link planted there is dropped, never
    // written through; should one reappear at once, the exclusive create
    // refuses it.
    int unlink_err = 0;
    if (mode == OpenMode::Replace && CurrentFileOps().Unlink(path) != 0) unlink_err = errno;
    const int fd = CurrentFileOps().Open(path, flags, 0666);
    if (fd < 0) {
        err = errno != 0 ? errno : EIO;
        // What could not be removed (a folder, a name in a read-only folder)
        // says more than "it exists".
        if (err == EEXIST && unlink_err != 0 && unlink_err != ENOENT) err = unlink_err;
        return File();
    }
    // Checked on what was opened, not on the name, which may have changed
    // meanwhile. A folder opens read-only on POSIX; as a file it is of no
    // use to anyone.
    FileStatus status;
    if (CurrentFileOps().Status(fd, status) != 0) {
        err = errno != 0 ? errno : EIO;
    } else if (status.type == FileType::Folder) {
        err = EISDIR;
    } else if (status.type != FileType::Regular) {
        err = kNotRegularFile;
    }
    if (err != 0) {
        CurrentFileOps().Close(fd);
        // A file this call made itself is not left behind.
        if (mode == OpenMode::CreateNew || mode == OpenMode::Replace) CurrentFileOps().Unlink(path);
        return File();
    }
    try {
        return File(fd, path);
    } catch (...) {  // the path copy ran out of memory
        CurrentFileOps().Close(fd);
        err = ENOMEM;
        return File();
    }
}

std::string RandomFileName(const std::string& folder, const std::string& prefix) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string name = folder;
    if (!name.empty() && name.back() != '/' && name.back() != '\\') name += '/';
    name += prefix;
    for (int i = 0; i < 12; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

File File::CreateUnique(const std::string& folder, const std::string& prefix) {
    for (int attempt = 0;; ++attempt) {
        int err = 0;
        File file = TryOpen(RandomFileName(folder, prefix), OpenMode::CreateNew, err);
        if (file.IsOpen()) return file;
        if (err != EEXIST || attempt >= 100) throw EFileError::FromErrno(err);
    }
}

File File::Open(const std::string& path, OpenMode mode) {
    int err = 0;
    File file = TryOpen(path, mode, err);
    if (!file.IsOpen()) throw EFileError::FromErrno(err);
    return file;
}

std::size_t File::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t want = std::min(count - done, kMaxTransfer);
        const long long got = CurrentFileOps().Read(fd_, out + done, want);
        if (got < 0) {
            if (errno == EINTR) continue;
            ThrowErrno();
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t File::WriteSome(const void* buffer, std::size_t count) {
    const auto* in = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t want = std::min(count - done, kMaxTransfer);
        const long long put = CurrentFileOps().Write(fd_, in + done, want);
        if (put < 0) {
            if (errno == EINTR) continue;
            if (errno == ENOSPC) break;
            ThrowErrno();
        }
        if (put == 0) break;
        done += static_cast<std::size_t>(put);
    }
    return done;
}

void File::WriteAll(const void* buffer, std::size_t count) {
    if (WriteSome(buffer, count) != count) throw EFileError(kDiskFull);
}

std::int64_t File::Position() {
    const long long pos = CurrentFileOps().Seek(fd_, 0, SEEK_CUR);
    if (pos < 0) ThrowErrno();
    return pos;
}

std::int64_t File::Size() {
    const std::int64_t here = Position();
    const long long end = CurrentFileOps().Seek(fd_, 0, SEEK_END);
    if (end < 0) ThrowErrno();
    if (CurrentFileOps().Seek(fd_, here, SEEK_SET) < 0) ThrowErrno();
    return end;
}

void File::Seek(std::int64_t offset) {
    if (CurrentFileOps().Seek(fd_, offset, SEEK_SET) < 0) ThrowErrno();
}

void File::SeekToEnd() {
    if (CurrentFileOps().Seek(fd_, 0, SEEK_END) < 0) ThrowErrno();
}

void File::Truncate(std::int64_t length) {
    if (CurrentFileOps().Truncate(fd_, length) != 0) ThrowErrno();
}

void File::Sync() {
    if (CurrentFileOps().Sync(fd_) != 0) ThrowErrno();
}

int File::TryLock(bool exclusive) noexcept {
    if (fd_ < 0) return EBADF;
    while (CurrentFileOps().Lock(fd_, exclusive) != 0) {
        if (errno == EINTR) continue;
        if (errno == ENOLCK || errno == EOPNOTSUPP) return 0;
        return errno != 0 ? errno : EWOULDBLOCK;
    }
    return 0;
}

void File::Close() {
    if (fd_ < 0) return;
    const int fd = std::exchange(fd_, -1);
    if (CurrentFileOps().Close(fd) != 0) ThrowErrno();
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::int64_t max_bytes) {
    File file = File::Open(path, OpenMode::Read);
    const std::int64_t size = file.Size();
    if (size > max_bytes) throw EFileTooLarge(path, max_bytes);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    file.Close();
    return bytes;
}

void WriteWholeFile(const std::string& path, const void* data, std::size_t size) {
    File file = File::Open(path, OpenMode::CreateTruncate);
    file.WriteAll(data, size);
    file.Close();
}

void RenameFile(const std::string& from, const std::string& to) {
    if (CurrentFileOps().Rename(from, to) != 0) ThrowErrno();
}

void SyncFolder(const std::string& folder) {
    if (CurrentFileOps().SyncFolder(folder) != 0) ThrowErrno();
}

bool RemoveFile(const std::string& path) noexcept {
    const int saved = errno;
    const bool removed = CurrentFileOps().Unlink(path) == 0;
    errno = saved;
    return removed;
}

}  // namespace grix
