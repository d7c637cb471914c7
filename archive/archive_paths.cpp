#include "archive/archive_paths.h"

#include <vector>

#include "core/platform.h"

namespace grix {

bool HasWildcard(std::string_view mask) { return mask.find_first_of("*?") != std::string_view::npos; }

bool IsAbsolutePath(std::string_view path) {
    if (kWindowsPaths && path.size() >= 2 && path[1] == ':') return true;
    return !path.empty() && IsPathSeparator(path[0]);
}

std::string NormalizePath(std::string_view path) {
    std::string root;
    if (kWindowsPaths && path.size() >= 2 && path[1] == ':') {
        root = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }
    const bool absolute = !path.empty() && IsPathSeparator(path[0]);
    const bool trailing = !path.empty() && IsPathSeparator(path.back());
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t end = at;
        while (end < path.size() && !IsPathSeparator(path[end])) ++end;
        const std::string_view part = path.substr(at, end - at);
        if (part.empty() || part == ".") {
            // nothing
        } else if (part == "..") {
            if (!parts.empty() && parts.back() != "..") {
                parts.pop_back();
            } else if (!absolute) {
                parts.push_back(part);
            }
        } else {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string out = root;
    if (absolute) out += kPathDelimiter;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += kPathDelimiter;
        out += parts[i];
    }
    if (trailing && !parts.empty()) out += kPathDelimiter;
    if (out.empty()) out.push_back('.');
    return out;
}

std::string FullPath(std::string_view path, std::string_view current) {
    if (IsAbsolutePath(path)) return NormalizePath(path);
    std::string joined = WithTrailingSeparator(current);
    joined += path;
    return NormalizePath(joined);
}

std::string ResolveFolder(std::string_view folder, std::string_view current) {
    if (folder.empty()) return std::string(current);
    std::string full = FullPath(folder, current);
    if (!platform::QueryPath(full).is_folder) return std::string(folder);
    while (full.size() > 1 && IsPathSeparator(full.back())) full.pop_back();
    return full;
}

namespace {
std::vector<std::string_view> Components(std::string_view folder) {
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < folder.size()) {
        std::size_t end = at;
        while (end < folder.size() && !IsPathSeparator(folder[end])) ++end;
        if (end > at) out.push_back(folder.substr(at, end - at));
        at = end + 1;
    }
    return out;
}
}  // namespace

std::string RelativePath(std::string_view base, std::string_view path) {
    if (IsAbsolutePath(base) != IsAbsolutePath(path)) return std::string(path);
    if (kWindowsPaths && base.size() >= 2 && path.size() >= 2 && base[1] == ':' &&
        (path[1] != ':' || (base[0] | 0x20) != (path[0] | 0x20))) {
        return std::string(path);
    }
    const std::string base_folder = FolderPart(base);
    const std::string path_folder = FolderPart(path);
    const auto from = Components(base_folder);
    const auto to = Components(path_folder);
    std::size_t common = 0;
    while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;
    std::string out;
    for (std::size_t i = common; i < from.size(); ++i) {
        out += "..";
        out += kPathDelimiter;
    }
    for (std::size_t i = common; i < to.size(); ++i) {
        out += to[i];
        out += kPathDelimiter;
    }
    return out + FileNamePart(path);
}

std::string NormalizeMaskSeparators(std::string_view mask) {
    std::string out(mask);
    if constexpr (!kWindowsPaths) {
        for (char& c : out) {
            if (c == '\\') c = '/';
        }
    }
    return out;
}

}  // namespace grix
