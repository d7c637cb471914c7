// Everything Grix asks of the operating system, in one interface with one
// source per system (platform_posix.cpp, platform_win32.cpp; the build picks
// one). Paths cross it as UTF-8 text; on Windows they become UTF-16 here and
// nowhere else, so that no ANSI code page ever touches a file name.
//
// Failures are reported the POSIX way on every system: -1 (or an error
// field) with errno set to an errno value, so that callers word them once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace grix::platform {

// File descriptors, with the flags and results of POSIX open(2), read(2),
// write(2), lseek(2), ftruncate(2), fsync(2) and close(2). On Windows a file
// created, truncated or replaced lets others read it but not write it; any
// other open shares everything.
[[nodiscard]] int Open(const std::string& path, int flags, int mode);
[[nodiscard]] long long Read(int fd, void* buffer, std::size_t count);
[[nodiscard]] long long Write(int fd, const void* buffer, std::size_t count);
[[nodiscard]] long long Seek(int fd, long long offset, int whence);
[[nodiscard]] int Truncate(int fd, long long length);
[[nodiscard]] int Sync(int fd);
[[nodiscard]] int Close(int fd);
// A lock over the whole file without waiting, shared or exclusive. Advisory
// between cooperating programs on POSIX (flock); on Windows a byte-range
// lock that every other program meets. 0, or -1 with errno (EWOULDBLOCK
// when another holds it).
[[nodiscard]] int Lock(int fd, bool exclusive);
// What an open descriptor is (fstat(2)): a regular file, a folder (POSIX
// lets a folder be opened) or neither, and its size.
struct DescriptorStatus {
    bool is_file = false;
    bool is_folder = false;
    std::int64_t size = 0;
};
[[nodiscard]] int Status(int fd, DescriptorStatus& status);

// Names, with the results of rename(2) (replacing `to` in one step),
// unlink(2) (a link goes, never what it leads to) and link(2).
[[nodiscard]] int Rename(const std::string& from, const std::string& to);
[[nodiscard]] int Unlink(const std::string& path);
[[nodiscard]] int Link(const std::string& existing, const std::string& new_name);
// Flushes a folder's entries to disk, so that a rename survives a crash
// (Windows keeps renames durable by itself).
[[nodiscard]] int SyncFolder(const std::string& path);

// What a path names, following links unless told not to (a link itself is
// then neither file nor folder).
struct PathStatus {
    int error = 0;  // errno value when nothing could be learnt
    bool is_file = false;
    bool is_folder = false;  // neither: a pipe, socket or device
    // Windows keeps attribute bits (read-only 0x01, hidden 0x02, system
    // 0x04, folder 0x10, archive 0x20); POSIX has none and leaves them to
    // be derived from the mode and the name.
    bool has_attributes = false;
    std::uint16_t attributes = 0;
    bool owner_writable = true;
    std::time_t last_write = 0;
    // Device (volume) and file number; unknown when the system gives none.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool identity_known = false;
};
[[nodiscard]] PathStatus QueryPath(const std::string& path, bool follow_links = true);

// Local broken-down time; false when the time cannot be represented.
[[nodiscard]] bool LocalTime(std::time_t t, std::tm& out);

[[nodiscard]] long ProcessId();

// The running program's full path, UTF-8; empty when the system will not say.
[[nodiscard]] std::string ExecutablePath();

// Where a program keeps per-user data when its own folder cannot be written
// (with a trailing separator); empty when the system names none.
[[nodiscard]] std::string PerUserDataFolder();

// The program's arguments as UTF-8, the program's name first. Windows hands
// `argv` over in the ANSI code page, so there the wide command line is read
// instead.
[[nodiscard]] std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Makes the console show the UTF-8 text the program writes.
void UseUtf8Console();

// The end of a line in text files written for the user to edit.
[[nodiscard]] const char* TextLineEnd();

// A name the system keeps for a device whatever its folder or extension
// ("NUL", "com1.jar" on Windows); no such names elsewhere.
[[nodiscard]] bool IsReservedFileName(std::string_view name);

}  // namespace grix::platform
