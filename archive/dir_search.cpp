#include "archive/dir_search.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "archive/archive_paths.h"
#include "archive/brask_types.h"
#include "archive/mask.h"
#include "archive/name_order.h"
#include "core/errors.h"

namespace grix {

namespace {

bool PatternMatches(const TMask* mask, const std::string& name) {
    if (mask == nullptr || mask->Matches(name)) return true;
    return name.find('.') == std::string::npos && mask->Matches(name + ".");
}

[[noreturn]] void RaiseCannotOpen(const std::string& folder, const std::error_code& ec) {
    throw EFOpenError("Cannot open file \"" + folder + "\". " + ec.message());
}

bool MeansMissing(const std::error_code& ec) {
    return ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory;
}

}  // namespace

bool SearchPatternMatches(const std::string& pattern, const std::string& name) {
    if (pattern == "*" || pattern == "*.*") return true;
    const TMask mask(pattern);
    return PatternMatches(&mask, name);
}

std::vector<FoundItem> SearchFolder(const std::string& folder, const std::string& pattern,
                                    std::uint16_t attributes, bool folders) {
    namespace fs = std::filesystem;
    std::vector<FoundItem> found;
    std::optional<TMask> mask;
    const bool match_all = pattern == "*" || pattern == "*.*";
    if (!match_all) mask.emplace(pattern);
    const std::uint16_t refused = (kAttrHidden | kAttrSystem | kAttrVolumeLabel | kAttrFolder) &
                                  static_cast<std::uint16_t>(~attributes);

    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec) {
        if (MeansMissing(ec)) return found;
        RaiseCannotOpen(folder, ec);
    }
    const std::string prefix = WithTrailingSeparator(folder);
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::string name = it->path().filename().string();
        if (name == "." || name == "..") continue;
        if (!PatternMatches(match_all ? nullptr : &*mask, name)) continue;
        // Links are never followed: a link to "/" would walk the whole disk,
        // one to a file elsewhere would pack it.
        const FileInfo info = QueryFileInfo(prefix + name, false);
        if (info.kind != FileKind::File && info.kind != FileKind::Folder) continue;
        if ((info.kind == FileKind::Folder) != folders) continue;
        if ((info.attributes & refused) != 0) continue;
        found.push_back({std::move(name), info.attributes, info.identity});
    }
    if (ec) RaiseCannotOpen(folder, ec);
    // The same order as NameLess, with each name folded once.
    std::vector<std::pair<std::string, FoundItem>> keyed;
    keyed.reserve(found.size());
    for (auto& item : found) keyed.emplace_back(FoldNameCase(item.name), std::move(item));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
    });
    found.clear();
    for (auto& entry : keyed) found.push_back(std::move(entry.second));
    return found;
}

}  // namespace grix
