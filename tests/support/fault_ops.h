// File operations that fail on purpose, for tests of the failure paths.
#pragma once

#include <algorithm>
#include <cerrno>

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

}  // namespace grix::test
