#include "core/file_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace grix {
namespace {

TEST(FileError, MessagesByCode) {
    const struct {
        int code;
        const char* message;
    } cases[] = {
        {2, "File not found"},      {3, "Invalid filename"},      {4, "Too many open files"},
        {5, "File access denied"},  {100, "Read beyond end of file"}, {101, "Disk full"},
        {106, "Invalid numeric input"}, {32, "I/O error 32"},     {0, "I/O error 0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileErrorMessage(c.code), c.message) << c.code;
        EXPECT_EQ(EFileError(c.code).code(), c.code);
    }
}

TEST(FileError, PlatformNumbersMapOntoRuntimeCodes) {
    const struct {
        int err;
        int code;
        const char* message;
    } cases[] = {
        {ENOENT, 2, "File not found"},
        {ENOTDIR, 3, "Invalid filename"},
        {ENAMETOOLONG, 3, "Invalid filename"},
        {EMFILE, 4, "Too many open files"},
        {ENFILE, 4, "Too many open files"},
        {EACCES, 5, "File access denied"},
        {EPERM, 5, "File access denied"},
        {EROFS, 5, "File access denied"},
        {EISDIR, 5, "File access denied"},
        {ENOSPC, 101, "Disk full"},
        // EIO is 5 on Linux: it must keep its own number's text, not borrow
        // "File access denied".
        {EIO, EIO, nullptr},
        {EBUSY, EBUSY, nullptr},
    };
    for (const auto& c : cases) {
        const EFileError e = EFileError::FromErrno(c.err);
        EXPECT_EQ(e.code(), c.code) << c.err;
        const std::string expected =
            c.message ? c.message : "I/O error " + std::to_string(c.err);
        EXPECT_EQ(std::string(e.what()), expected) << c.err;
    }
}

}  // namespace
}  // namespace grix
