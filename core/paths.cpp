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

bool HasPathSeparator(std::string_view path) {
    for (char c : path) {
        if (IsPathSeparator(c)) return true;
    }
    return false;
}

namespace {
std::size_t LastSeparator(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1])) return i - 1;
    }
    return std::string_view::npos;
}
}  // namespace

std::string FolderPart(std::string_view path) {
    const std::size_t at = LastSeparator(path);
    return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::string FileNamePart(std::string_view path) {
    const std::size_t at = LastSeparator(path);
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string FolderOfPath(std::string_view path) {
    const std::size_t at = LastSeparator(path);
    if (at == std::string_view::npos) return ".";
    return std::string(path.substr(0, at == 0 ? 1 : at));
}

std::string WithTrailingSeparator(std::string_view path) {
    std::string out(path);
    if (out.empty() || !IsPathSeparator(out.back())) out += kPathDelimiter;
    return out;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(NativePath(path), ec);
    if (ec) return path;
    return Utf8Path(absolute.lexically_normal());
}

}  // namespace grix
