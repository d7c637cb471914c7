#include "imaging/stream.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/errors.h"
#include "core/paths.h"

namespace grix {

std::string CannotOpenFileMessage(const std::string& path, int err) {
    std::string full = path;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(NativePath(path), ec);
    if (!ec)
        full = Utf8Path(absolute.lexically_normal());
    const std::string reason = err == kNotRegularFileCode ? FileErrorMessage(kNotRegularFileCode)
                                                      : std::generic_category().message(err);
    return "Cannot open file \"" + full + "\". " + reason;
}

TFileStream::TFileStream(const std::string& path) {
    int err = 0;
    file_ = File::TryOpen(path, OpenMode::Read, err);
    if (!file_.IsOpen())
        throw EFOpenError(CannotOpenFileMessage(path, err));
    try {
        size_ = file_.Size();
    } catch (const EFileError&) {
        throw EReadError(kStreamReadError);
    }
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    std::size_t got = 0;
    try {
        got = file_.Read(buffer, count);
    } catch (const EFileError&) {
        // A device failure mid-read is a stream that cannot deliver, like a
        // short one.
        throw EReadError(kStreamReadError);
    }
    position_ += static_cast<std::int64_t>(got);
    return got;
}

void TFileStream::Seek(std::int64_t position) {
    if (position < 0 || position > size_)
        throw EReadError(kStreamReadError);
    try {
        file_.Seek(position);
    } catch (const EFileError&) {
        throw EReadError(kStreamReadError);
    }
    position_ = position;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    const std::size_t n = std::min(count, size_ - position_);
    if (n > 0)
        std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

void TMemoryStream::Seek(std::int64_t position) {
    if (position < 0 || static_cast<std::uint64_t>(position) > size_) {
        throw EReadError(kStreamReadError);
    }
    position_ = static_cast<std::size_t>(position);
}

}  // namespace grix
