#include "archive/folder_collection.h"

#include <algorithm>

#include "archive/archive_paths.h"
#include "archive/dir_search.h"
#include "archive/mask.h"
#include "core/text.h"

namespace grix {

ExpandedMask ExpandMask(const std::string& mask, const std::string& folder) {
    if (mask.empty()) return {};
    if (IsPathSeparator(mask[0])) {
        if (mask.size() == 1) return {folder, false};
        if (IsPathSeparator(mask[1])) return {mask, false};
        // "\x" is relative to the folder's drive root on Windows; masks take
        // it relative to the folder itself, so that a mask names the same
        // items wherever the base folder lies.
        if constexpr (kWindowsPaths) return {folder + mask, false};
        return {mask, false};
    }
    if (kWindowsPaths &&
        (mask.find(':') != std::string::npos || mask.find("..\\") != std::string::npos)) {
        return {mask, false};
    }
    if (mask.find("../") != std::string::npos) return {mask, false};
    return {WithTrailingSeparator(folder) + mask, true};
}

std::string MakeStoredName(const std::string& path, const std::string& base,
                           TBraskStorePathMode mode) {
    std::string full = FullPath(path, base);
    if (full.size() > 1 && IsPathSeparator(full.back())) full.pop_back();

    std::string name;
    switch (mode) {
        case spNoPath: name = FileNamePart(full); break;
        case spRelativePath: {
            name = RelativePath(WithTrailingSeparator(base), full);
            if (name.find("../") != std::string::npos || name.find("..\\") != std::string::npos) {
                name = full;
            }
            break;
        }
        case spFullPath:
        case spFullPathWithDrive: name = full; break;
    }

    std::size_t start = 0;
    if (kWindowsPaths && mode != spFullPathWithDrive) {
        const std::size_t colon = name.find(':');
        if (colon != std::string::npos) start = colon + 1;
    }
    if (start == 0) {
        // A network path "//server/share/...": the server name is dropped.
        for (std::size_t i = 0; i + 1 < name.size(); ++i) {
            if (IsPathSeparator(name[i]) && IsPathSeparator(name[i + 1])) {
                std::size_t next = i + 2;
                while (next < name.size() && !IsPathSeparator(name[next])) ++next;
                start = next < name.size() ? next + 1 : name.size();
                break;
            }
        }
    }
    if (start < name.size() && IsPathSeparator(name[start])) ++start;
    name.erase(0, std::min(start, name.size()));
    // Entry names always use '/', even where a file name holds a backslash.
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

bool MatchesExclusion(const std::string& path, const std::string& mask, bool is_folder,
                      const std::string& current) {
    if (mask == "*.*") return true;
    std::string subject_path = path;
    std::string m = mask;
    if (is_folder) {
        subject_path = WithTrailingSeparator(subject_path);
        if (!m.empty() && m.back() != '*') m = WithTrailingSeparator(m);
    }
    const ExpandedMask expanded = ExpandMask(m, current);
    if (expanded.full.empty()) return false;

    if (expanded.relative) {
        const std::string subject = HasPathSeparator(m)
                                        ? RelativePath(WithTrailingSeparator(current), subject_path)
                                        : FileNamePart(subject_path);
        if (TMask(FileNamePart(expanded.full)).Matches(subject)) return true;
        return TMask(RelativePath(WithTrailingSeparator(current), expanded.full)).Matches(subject);
    }

    const std::string path_folder = AsciiLower(FolderPart(subject_path));
    const std::string mask_folder = AsciiLower(FolderPart(expanded.full));
    if (path_folder == mask_folder) return TMask(expanded.full).Matches(subject_path);
    if (FileNamePart(expanded.full) == "*.*") {
        return path_folder.substr(0, expanded.full.size() - 3) == mask_folder;
    }
    return false;
}

std::mutex& CollectionLock() {
    static std::mutex lock;
    return lock;
}

namespace {

constexpr std::uint16_t kAllBasicAttributes = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

class FolderWalk {
public:
    FolderWalk(const CollectionSettings& settings, CollectionSink& sink)
        : settings_(settings), sink_(sink) {}

    void Run(const std::string& mask) {
        const FileInfo base = QueryFileInfo(settings_.base);
        open_folders_.push_back(base.identity);
        CollectFolder(settings_.base, mask, settings_.recurse);
    }

private:
    bool Excluded(const std::string& path, bool is_folder) const {
        for (const std::string& mask : settings_.exclusion_masks) {
            if (MatchesExclusion(path, mask, is_folder, settings_.base)) return true;
        }
        return false;
    }

    // The folder part as items' paths begin: resolved, with a trailing separator.
    std::string ItemPrefix(const std::string& folder_part) const {
        return WithTrailingSeparator(ResolveFolder(folder_part, settings_.base));
    }

    // Answers false when the item was rejected (and must not be entered).
    bool ConsiderItem(const std::string& name, const std::string& prefix, bool is_folder,
                      const FileIdentity& identity) {
        std::string path = prefix + name;
        if (is_folder) path = WithTrailingSeparator(path);
        if (!is_folder && identity.SameAs(settings_.archive)) return false;
        if (Excluded(path, is_folder)) return false;
        if (!sink_.ConfirmProcessFile(path)) return true;
        const int index =
            sink_.Register(path, MakeStoredName(path, settings_.base, settings_.store_path));
        if (index >= 0) {
            for (const std::string& mask : settings_.no_compression_masks) {
                if (MatchesExclusion(path, mask, is_folder, settings_.base)) {
                    sink_.StoreUncompressed(index);
                    break;
                }
            }
        }
        return true;
    }

    // A link back up the tree: one of the folders being walked already.
    bool IsOpenFolder(const FileIdentity& identity) const {
        for (const FileIdentity& open : open_folders_) {
            if (identity.SameAs(open)) return true;
        }
        return false;
    }

    void Descend(const std::string& folder, const FileIdentity& identity, const std::string& mask) {
        open_folders_.push_back(identity);
        CollectFolder(folder, mask, true);
        open_folders_.pop_back();
    }

    void CollectFolder(const std::string& folder, const std::string& mask, bool recurse) {
        const ExpandedMask expanded = ExpandMask(mask, folder);
        // An empty mask names nothing (walking on would revisit the same
        // folder for ever).
        if (expanded.full.empty()) return;
        const std::string folder_part = FolderPart(expanded.full);
        std::string subfolder_part = folder_part;
        if (expanded.relative &&
            ResolveFolder(folder_part, settings_.base).find(folder) == std::string::npos) {
            subfolder_part = WithTrailingSeparator(folder);
        }

        if (mask == expanded.full && !HasWildcard(mask)) {
            const FileInfo single = QueryFileInfo(FullPath(expanded.full, settings_.base), false);
            if (single.kind == FileKind::File) {
                ConsiderItem(FileNamePart(expanded.full), ItemPrefix(folder_part), false,
                             single.identity);
                return;
            }
        }

        const auto file_attributes = static_cast<std::uint16_t>(settings_.search_attr & ~kAttrFolder);
        const std::vector<FoundItem> files = SearchFolder(
            FullPath(folder_part, settings_.base), FileNamePart(expanded.full), file_attributes, false);
        const std::string file_prefix = files.empty() ? std::string() : ItemPrefix(folder_part);
        for (const FoundItem& item : files) {
            const bool shares_a_bit = (item.attributes & file_attributes) != 0;
            const bool plain = item.attributes == 0 &&
                               (file_attributes & kAllBasicAttributes) == kAllBasicAttributes;
            if (shares_a_bit || plain) ConsiderItem(item.name, file_prefix, false, item.identity);
        }

        const bool folders_wanted = (settings_.search_attr & kAttrFolder) != 0;
        if (!folders_wanted && !recurse) return;
        const TMask full_mask(expanded.full);
        const std::vector<FoundItem> folders = SearchFolder(FullPath(subfolder_part, settings_.base),
                                                            "*", kAttrHidden | kAttrFolder, true);
        const std::string folder_prefix = folders.empty() ? std::string() : ItemPrefix(subfolder_part);
        for (const FoundItem& item : folders) {
            // Entering it would never end; it is left out altogether.
            if (IsOpenFolder(item.identity)) continue;
            const std::string sub = subfolder_part + item.name;
            if (Excluded(sub, true)) continue;
            if (folders_wanted && (full_mask.Matches(sub) || full_mask.Matches(sub + "."))) {
                if (ConsiderItem(item.name, folder_prefix, true, item.identity)) {
                    Descend(sub, item.identity, "*.*");
                }
                continue;
            }
            if (!recurse) continue;
            if (!HasPathSeparator(mask)) {
                Descend(sub, item.identity, mask);
            } else if (HasWildcard(mask)) {
                Descend(sub, item.identity, FileNamePart(expanded.full));
            }
        }
    }

    const CollectionSettings& settings_;
    CollectionSink& sink_;
    std::vector<FileIdentity> open_folders_;
};

}  // namespace

void CollectFromBaseDir(const std::string& file_mask, const CollectionSettings& settings,
                        CollectionSink& sink) {
    FolderWalk(settings, sink).Run(file_mask);
}

}  // namespace grix
