#include "archive/temp_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/errors.h"
#include "core/paths.h"

namespace grix {

TempFile::TempFile() {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    file_ = File::CreateUnique(ec ? "." : Utf8Path(folder), "grix-");
    path_ = file_.Path();
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
