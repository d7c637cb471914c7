// File operations that fail on purpose, for tests of the failure paths.
#pragma once

#include <algorithm>
#include <cerrno>
#include <string>

#include "core/file.h"

namespace grix::test {

// A disk that fills up after `room` bytes: writes beyond it fail with ENOSPC.
class FullDisk : public FileOps {
public:
    explicit FullDisk(long long room) : room_(room) {}
    long long Write(int fd, const void* buffer, std::size_t count) override {
        if (room_ <= 0) {
            errno = ENOSPC;
            return -1;
        }
        const auto n = std::min<long long>(room_, static_cast<long long>(count));
        room_ -= n;
        return FileOps::Write(fd, buffer, static_cast<std::size_t>(n));
    }

private:
    long long room_;
};

// Fails file operation number `victim` (counting every operation of every
// kind from 0) with errno `err`; a negative victim fails nothing, to count.
// Syncs only pretend, so that sweeps over hundreds of runs stay quick.
class NthOperationFails : public FileOps {
public:
    NthOperationFails(long long victim, int err) : victim_(victim), err_(err) {}
    long long count() const { return count_; }
    // The failed operation was a deletion, whose failure a caller may ignore.
    bool failed_unlink() const { return failed_unlink_; }

    int Open(const std::string& path, int flags, int mode) override {
        return Fails() ? -1 : FileOps::Open(path, flags, mode);
    }
    long long Read(int fd, void* buffer, std::size_t count) override {
        return Fails() ? -1 : FileOps::Read(fd, buffer, count);
    }
    long long Write(int fd, const void* buffer, std::size_t count) override {
        return Fails() ? -1 : FileOps::Write(fd, buffer, count);
    }
    long long Seek(int fd, long long offset, int whence) override {
        return Fails() ? -1 : FileOps::Seek(fd, offset, whence);
    }
    int Truncate(int fd, long long length) override {
        return Fails() ? -1 : FileOps::Truncate(fd, length);
    }
    int Sync(int) override { return Fails() ? -1 : 0; }
    int Close(int fd) override {
        // The descriptor is gone either way, as with a close that reports
        // a delayed write error.
        const bool fails = Fails();
        FileOps::Close(fd);
        if (fails) errno = err_;
        return fails ? -1 : 0;
    }
    int Lock(int fd, bool exclusive) override {
        return Fails() ? -1 : FileOps::Lock(fd, exclusive);
    }
    int Status(int fd, FileStatus& status) override {
        return Fails() ? -1 : FileOps::Status(fd, status);
    }
    int Rename(const std::string& from, const std::string& to) override {
        return Fails() ? -1 : FileOps::Rename(from, to);
    }
    int Unlink(const std::string& path) override {
        if (!Fails()) return FileOps::Unlink(path);
        failed_unlink_ = true;
        return -1;
    }
    int Link(const std::string& existing, const std::string& new_name) override {
        return Fails() ? -1 : FileOps::Link(existing, new_name);
    }
    int SyncFolder(const std::string&) override { return Fails() ? -1 : 0; }

private:
    bool Fails() {
        if (count_++ != victim_) return false;
        errno = err_;
        return true;
    }
    long long victim_;
    int err_;
    long long count_ = 0;
    bool failed_unlink_ = false;
};

}  // namespace grix::test
