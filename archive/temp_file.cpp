#include "archive/temp_file.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#include "core/errors.h"
#include "core/paths.h"

namespace grix {

TempFile::TempFile() {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) folder = ".";
    std::random_device entropy;
    std::mt19937_64 names(entropy());
    for (int attempt = 0;; ++attempt) {
        const std::string candidate =
            Utf8Path(folder / ("grix-" + std::to_string(names() % 1000000000000ULL) + ".tmp"));
        int err = 0;
        file_ = File::TryOpen(candidate, OpenMode::CreateNew, err);
        if (file_.IsOpen()) {
            path_ = candidate;
            return;
        }
        if (err != EEXIST || attempt >= 100) throw EFileError::FromErrno(err);
    }
}

TempFile::~TempFile() {
    file_ = File();
    std::error_code ec;
    std::filesystem::remove(NativePath(path_), ec);
}

void CopyFileRange(File& from, std::int64_t offset, std::uint64_t length, File& to) {
    constexpr std::size_t kBlock = 1 << 20;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, length)));
    from.Seek(offset);
    while (length > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), length));
        if (from.Read(buffer.data(), n) != n) throw EReadError(kStreamReadError);
        to.WriteAll(buffer.data(), n);
        length -= n;
    }
}

}  // namespace grix
