// The platform layer on Windows. Every path arrives as UTF-8 and goes to the
// system's wide (UTF-16) calls; the ANSI "A" calls and the C runtime's char
// paths are never used, since they read text in whatever code page the
// machine is set to and turn Cyrillic names into question marks or worse.
#include "core/platform.h"

// windows.h first: the other Windows headers build on it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <shellapi.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace grix::platform {
namespace {

// UTF-8 to UTF-16; false (errno EINVAL) for text that is not UTF-8, which
// can name no file on this system.
bool Widen(std::string_view text, std::wstring& out) {
    out.clear();
    if (text.empty())
        return true;
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (n <= 0) {
        errno = EINVAL;
        return false;
    }
    out.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, out.data(), n);
    return true;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

// The errno value nearest to a Win32 error code.
int ErrnoFromWin32(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        case ERROR_LOCK_VIOLATION:
            return EWOULDBLOCK;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            return EEXIST;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return EOPNOTSUPP;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_PARAMETER:
            return EINVAL;
        default:
            return EIO;
    }
}

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

std::time_t UnixTime(const FILETIME& time) {
    // FILETIME counts 100 ns steps since 1601-01-01.
    constexpr std::uint64_t kUnixEpoch = 116444736000000000ULL;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    if (ticks < kUnixEpoch)
        return 0;
    return static_cast<std::time_t>((ticks - kUnixEpoch) / 10000000ULL);
}

}  // namespace

int Open(const std::string& path, int flags, int mode) {
    std::wstring wide;
    if (!Widen(path, wide))
        return -1;
    // A file being made afresh is held against other writers; readers are
    // never turned away. A file opened as it is (a JAR to update, the build's
    // lock file) is shared, and held with Lock where it must be: a second
    // build must get as far as finding the lock taken, and then wait.
    const bool fresh = (flags & (_O_TRUNC | _O_EXCL)) != 0;
    const int share = fresh ? _SH_DENYWR : _SH_DENYNO;
    const int permission = _S_IREAD | ((mode & 0222) != 0 ? _S_IWRITE : 0);
    int fd = -1;
    const errno_t err =
        _wsopen_s(&fd, wide.c_str(), flags | _O_BINARY | _O_NOINHERIT, share, permission);
    if (err != 0) {
        // A folder is refused as access; say what POSIX says of it.
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        errno = err == EACCES && folder ? EISDIR : err;
        return -1;
    }
    return fd;
}

long long Read(int fd, void* buffer, std::size_t count) {
    return _read(fd, buffer, static_cast<unsigned>(count));
}
long long Write(int fd, const void* buffer, std::size_t count) {
    return _write(fd, buffer, static_cast<unsigned>(count));
}
long long Seek(int fd, long long offset, int whence) {
    return _lseeki64(fd, offset, whence);
}
int Truncate(int fd, long long length) {
    const errno_t err = _chsize_s(fd, length);
    if (err == 0)
        return 0;
    errno = err;
    return -1;
}
int Sync(int fd) {
    return _commit(fd);
}
int Close(int fd) {
    return _close(fd);
}

int Lock(int fd, bool exclusive) {
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return -1;
    }
    OVERLAPPED from_start{};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &from_start))
        return 0;
    errno = ErrnoFromWin32(GetLastError());
    return -1;
}

int Status(int fd, DescriptorStatus& status) {
    const HANDLE handle = HandleOf(fd);
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return -1;
    }
    // Pipes and consoles are no disk files, and have no such information.
    status = DescriptorStatus{};
    if (GetFileType(handle) != FILE_TYPE_DISK)
        return 0;
    if (!GetFileInformationByHandle(handle, &info)) {
        errno = ErrnoFromWin32(GetLastError());
        return -1;
    }
    status.is_folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    status.is_file = !status.is_folder;
    status.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) |
                                            info.nFileSizeLow);
    return 0;
}

int Rename(const std::string& from, const std::string& to) {
    std::wstring wide_from, wide_to;
    if (!Widen(from, wide_from) || !Widen(to, wide_to))
        return -1;
    if (MoveFileExW(wide_from.c_str(), wide_to.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return 0;
    }
    errno = ErrnoFromWin32(GetLastError());
    return -1;
}

int Unlink(const std::string& path) {
    std::wstring wide;
    if (!Widen(path, wide))
        return -1;
    return _wunlink(wide.c_str());
}

int Link(const std::string& existing, const std::string& new_name) {
    std::wstring wide_existing, wide_new;
    if (!Widen(existing, wide_existing) || !Widen(new_name, wide_new))
        return -1;
    if (CreateHardLinkW(wide_new.c_str(), wide_existing.c_str(), nullptr))
        return 0;
    errno = ErrnoFromWin32(GetLastError());
    return -1;
}

int SyncFolder(const std::string&) {
    return 0;
}

PathStatus QueryPath(const std::string& path, bool follow_links) {
    PathStatus status;
    std::wstring wide;
    if (path.empty()) {
        status.error = ENOENT;
        return status;
    }
    if (!Widen(path, wide)) {
        status.error = errno;
        return status;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
        status.error = ErrnoFromWin32(GetLastError());
        return status;
    }
    DWORD attributes = data.dwFileAttributes;
    FILETIME last_write = data.ftLastWriteTime;
    const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    // No access rights asked: the file's identity can be read even while
    // another program holds it without sharing. The handle leads through a
    // link unless the link itself is asked about.
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (follow_links ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle =
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (GetFileInformationByHandle(handle, &info)) {
            status.device = info.dwVolumeSerialNumber;
            status.inode =
                (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
            status.identity_known = status.inode != 0;
            attributes = info.dwFileAttributes;
            last_write = info.ftLastWriteTime;
        }
        CloseHandle(handle);
    } else if (link && follow_links) {
        status.error = ErrnoFromWin32(GetLastError());  // a link that leads nowhere
        return status;
    }
    if (link && !follow_links)
        return status;  // neither file nor folder
    status.is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    status.is_file = !status.is_folder && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
    status.has_attributes = true;
    // The bits a ZIP entry's DOS attribute byte can hold.
    status.attributes = static_cast<std::uint16_t>(attributes & 0x3F);
    status.owner_writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    status.last_write = UnixTime(last_write);
    return status;
}

bool LocalTime(std::time_t t, std::tm& out) {
    return localtime_s(&out, &t) == 0;
}

long ProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

std::string ExecutablePath() {
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size())
        return {};
    buffer.resize(n);
    return Narrow(buffer);
}

std::string PerUserDataFolder() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || *local == L'\0')
        return {};
    return Narrow(local) + "\\Grix\\";
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        arguments.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return arguments;
}

void UseUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
}

const char* TextLineEnd() {
    return "\r\n";
}

bool IsReservedFileName(std::string_view name) {
    // The device names hold whatever follows them after a dot, and the
    // system ignores spaces and dots before it ("nul .jar" is NUL too).
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    std::string upper;
    for (const char c : stem)
        upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" ||
        upper == "CONOUT$") {
        return true;
    }
    return upper.size() == 4 &&
           (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace grix::platform
