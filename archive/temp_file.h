// A uniquely named scratch file in the system's temporary folder, removed
// when its owner goes away.
#pragma once

#include <string>

#include "core/file.h"

namespace grix {

class TempFile {
public:
    // Creates the file (read and write) or throws the file layer's error.
    TempFile();
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    File& file() noexcept { return file_; }
    const std::string& path() const noexcept { return path_; }

private:
    std::string path_;
    File file_;
};

// Copies `length` bytes from `from` at `offset` to the current position of
// `to`; a source that ends early raises EReadError, a full disk EFileError.
void CopyFileRange(File& from, std::int64_t offset, std::uint64_t length, File& to);

}  // namespace grix
