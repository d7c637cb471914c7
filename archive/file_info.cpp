#include "archive/file_info.h"

#include <sys/stat.h>

#include "archive/brask_types.h"

namespace grix {

std::uint16_t FileAttributesFor(bool is_folder, bool owner_writable, const std::string& name) {
    if (is_folder) return kAttrFolder;
    std::uint16_t attributes = kAttrArchive;
    if (!owner_writable) attributes |= kAttrReadOnly;
    if (!name.empty() && name.front() == '.') attributes |= kAttrHidden;
    return attributes;
}

namespace {
std::string LastComponent(const std::string& path) {
    std::string::size_type end = path.size();
    while (end > 1 && path[end - 1] == '/') --end;
    const auto slash = path.rfind('/', end - 1);
    return path.substr(slash == std::string::npos ? 0 : slash + 1,
                       end - (slash == std::string::npos ? 0 : slash + 1));
}
}  // namespace

FileInfo QueryFileInfo(const std::string& path, bool follow_links) {
    FileInfo info;
    struct stat st {};
#ifdef _WIN32
    (void)follow_links;
    const int result = path.empty() ? -1 : ::stat(path.c_str(), &st);
#else
    const int result = path.empty()  ? -1
                       : follow_links ? ::stat(path.c_str(), &st)
                                      : ::lstat(path.c_str(), &st);
#endif
    if (result != 0) return info;
    // Some file systems (and Windows' stat) report no inode numbers; such a
    // file has no known identity rather than one shared with every other.
    info.identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                     st.st_ino != 0};
    info.last_write = st.st_mtime;
    if (S_ISDIR(st.st_mode)) {
        info.kind = FileKind::Folder;
    } else if (S_ISREG(st.st_mode)) {
        info.kind = FileKind::File;
    } else {
        info.kind = FileKind::Other;
        return info;
    }
    info.attributes = FileAttributesFor(info.kind == FileKind::Folder, (st.st_mode & S_IWUSR) != 0,
                                        LastComponent(path));
    return info;
}

}  // namespace grix
