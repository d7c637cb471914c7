#include "core/paths.h"

#include <filesystem>
#include <system_error>

namespace grix {

std::filesystem::path NativePath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(NativePath(path), ec);
    if (ec) return path;
    return Utf8Path(absolute.lexically_normal());
}

}  // namespace grix
