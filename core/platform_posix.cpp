// The platform layer on Linux and other POSIX systems: paths are bytes, and
// UTF-8 text is passed to the system as it is.
#include "core/platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

namespace grix::platform {

int Open(const std::string& path, int flags, int mode) {
    return ::open(path.c_str(), flags, mode);
}
long long Read(int fd, void* buffer, std::size_t count) {
    return ::read(fd, buffer, count);
}
long long Write(int fd, const void* buffer, std::size_t count) {
    return ::write(fd, buffer, count);
}
long long Seek(int fd, long long offset, int whence) {
    return ::lseek(fd, offset, whence);
}
int Truncate(int fd, long long length) {
    return ::ftruncate(fd, length);
}
int Sync(int fd) {
    return ::fsync(fd);
}
int Close(int fd) {
    return ::close(fd);
}
int Lock(int fd, bool exclusive) {
    return ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
}

int Status(int fd, DescriptorStatus& status) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return -1;
    status.is_file = S_ISREG(st.st_mode);
    status.is_folder = S_ISDIR(st.st_mode);
    status.size = static_cast<std::int64_t>(st.st_size);
    return 0;
}

int Rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}
int Unlink(const std::string& path) {
    return ::unlink(path.c_str());
}
int Link(const std::string& existing, const std::string& new_name) {
    return ::link(existing.c_str(), new_name.c_str());
}

int SyncFolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
    if (fd < 0)
        return -1;
    int result = ::fsync(fd);
    // Some file systems cannot sync a folder; the rename stands all the same.
    if (result != 0 && (errno == EINVAL || errno == EROFS))
        result = 0;
    const int err = errno;
    ::close(fd);
    errno = err;
    return result;
}

PathStatus QueryPath(const std::string& path, bool follow_links) {
    PathStatus status;
    struct stat st {};
    if (path.empty()) {
        status.error = ENOENT;
        return status;
    }
    if ((follow_links ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
        status.error = errno != 0 ? errno : EIO;
        return status;
    }
    status.is_file = S_ISREG(st.st_mode);
    status.is_folder = S_ISDIR(st.st_mode);
    status.owner_writable = (st.st_mode & S_IWUSR) != 0;
    status.last_write = st.st_mtime;
    // Some file systems report no inode numbers; such a file has no known
    // identity rather than one shared with every other.
    status.device = static_cast<std::uint64_t>(st.st_dev);
    status.inode = static_cast<std::uint64_t>(st.st_ino);
    status.identity_known = st.st_ino != 0;
    return status;
}

bool LocalTime(std::time_t t, std::tm& out) {
    return localtime_r(&t, &out) != nullptr;
}

long ProcessId() {
    return static_cast<long>(::getpid());
}

std::string ExecutablePath() {
    std::error_code ec;
#ifdef __APPLE__
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::string buffer(size + 1, '\0');
    if (_NSGetExecutablePath(buffer.data(), &size) != 0)
        return {};
    buffer.resize(buffer.find('\0'));
    const auto canonical = std::filesystem::canonical(buffer, ec);
    return ec ? buffer : canonical.string();
#else
    const auto target = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : target.string();
#endif
}

std::string PerUserDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg && xdg[0] == '/') {
        return std::string(xdg) + "/grix/";
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::string(home) + "/.local/share/grix/";
    }
    return {};
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void UseUtf8Console() {}

const char* TextLineEnd() {
    return "\n";
}

bool IsReservedFileName(std::string_view) {
    return false;
}

}  // namespace grix::platform
