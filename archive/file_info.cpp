#include "archive/file_info.h"

#include "archive/archive_paths.h"
#include "archive/brask_types.h"
#include "core/platform.h"

namespace grix {

std::uint16_t FileAttributesFor(bool is_folder, bool owner_writable, const std::string& name) {
    if (is_folder) return kAttrFolder;
    std::uint16_t attributes = kAttrArchive;
    if (!owner_writable) attributes |= kAttrReadOnly;
    if (!name.empty() && name.front() == '.') attributes |= kAttrHidden;
    return attributes;
}

namespace {
std::string LastComponent(std::string_view path) {
    while (path.size() > 1 && IsPathSeparator(path.back())) path.remove_suffix(1);
    return FileNamePart(path);
}
}  // namespace

FileInfo QueryFileInfo(const std::string& path, bool follow_links) {
    FileInfo info;
    const platform::PathStatus status = platform::QueryPath(path, follow_links);
    if (status.error != 0) return info;
    info.identity = {status.device, status.inode, status.identity_known};
    info.last_write = status.last_write;
    if (status.is_folder) {
        info.kind = FileKind::Folder;
    } else if (status.is_file) {
        info.kind = FileKind::File;
    } else {
        info.kind = FileKind::Other;
        return info;
    }
    info.attributes = status.has_attributes
                          ? status.attributes
                          : FileAttributesFor(info.kind == FileKind::Folder, status.owner_writable,
                                              LastComponent(path));
    return info;
}

}  // namespace grix
