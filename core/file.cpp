#include "core/file.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <utility>

#include "core/platform.h"

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
    return platform::Open(path, flags, mode);
}
long long FileOps::Read(int fd, void* buffer, std::size_t count) {
    return platform::Read(fd, buffer, count);
}
long long FileOps::Write(int fd, const void* buffer, std::size_t count) {
    return platform::Write(fd, buffer, count);
}
long long FileOps::Seek(int fd, long long offset, int whence) {
    return platform::Seek(fd, offset, whence);
}
int FileOps::Truncate(int fd, long long length) { return platform::Truncate(fd, length); }
int FileOps::Sync(int fd) { return platform::Sync(fd); }
int FileOps::Close(int fd) { return platform::Close(fd); }
int FileOps::Lock(int fd, bool exclusive) { return platform::Lock(fd, exclusive); }

int FileOps::Status(int fd, FileStatus& status) {
    platform::DescriptorStatus native;
    if (platform::Status(fd, native) != 0) return -1;
    status.type = native.is_file     ? FileType::Regular
                  : native.is_folder ? FileType::Folder
                                     : FileType::Other;
    status.size = native.size;
    return 0;
}
int FileOps::Rename(const std::string& from, const std::string& to) {
    return platform::Rename(from, to);
}
int FileOps::Unlink(const std::string& path) { return platform::Unlink(path); }
int FileOps::Link(const std::string& existing, const std::string& new_name) {
    return platform::Link(existing, new_name);
}
int FileOps::SyncFolder(const std::string& path) { return platform::SyncFolder(path); }

namespace {
FileOps g_system_ops;
FileOps* g_current_ops = &g_system_ops;

// One system call moves at most this much, so that counts fit every
// platform's int-sized read and write.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

[[noreturn]] void ThrowErrno() { throw EFileError::FromErrno(errno); }

// Moves `count` bytes in pieces of at most kMaxTransfer and answers how many
// moved: `piece(done, want)` moves one piece and answers its size, 0 at the
// end, or -1 with errno set. An interrupted call is retried; `short_errno`
// (when not 0) ends the transfer short instead of failing it.
template <typename Piece>
std::size_t Transfer(std::size_t count, int short_errno, Piece piece) {
    std::size_t done = 0;
    while (done < count) {
        const std::size_t want = std::min(count - done, kMaxTransfer);
        const long long moved = piece(done, want);
        if (moved < 0) {
            if (errno == EINTR) continue;
            if (short_errno != 0 && errno == short_errno) break;
            ThrowErrno();
        }
        if (moved == 0) break;
        done += static_cast<std::size_t>(moved);
    }
    return done;
}

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
    int flags = O_CLOEXEC | O_NONBLOCK;
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
        err = kNotRegularFileCode;
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
    return Transfer(count, 0, [&](std::size_t done, std::size_t want) {
        return CurrentFileOps().Read(fd_, out + done, want);
    });
}

std::size_t File::WriteSome(const void* buffer, std::size_t count) {
    const auto* in = static_cast<const unsigned char*>(buffer);
    // A full disk is a short write, which the caller judges.
    return Transfer(count, ENOSPC, [&](std::size_t done, std::size_t want) {
        return CurrentFileOps().Write(fd_, in + done, want);
    });
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
