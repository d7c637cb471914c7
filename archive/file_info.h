// What the archive writer needs to know about a file or folder on disk:
// kind, attribute bits, last-write time and identity.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace grix {

// Device and inode: two paths with equal identities name the same file.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool known = false;

    bool SameAs(const FileIdentity& other) const noexcept {
        return known && other.known && device == other.device && inode == other.inode;
    }
};

enum class FileKind {
    Missing,  // nothing there, or a link that leads nowhere
    File,     // a regular file
    Folder,
    Other,    // pipes, sockets, devices: never archived (opening a pipe would block)
};

struct FileInfo {
    FileKind kind = FileKind::Missing;
    std::uint16_t attributes = 0;
    std::time_t last_write = 0;
    FileIdentity identity;
};

// Attribute bits for file systems that keep none, so that the archive's
// external attributes mean the same wherever it is written:
// a folder is exactly kAttrFolder; a regular file is kAttrArchive, plus
// kAttrReadOnly when its owner may not write it and kAttrHidden when its
// name starts with "."; nothing carries the system bit.
std::uint16_t FileAttributesFor(bool is_folder, bool owner_writable, const std::string& name);

// Follows symbolic links, as opening the path would; with follow_links
// false a link is answered as FileKind::Other, whatever it leads to.
FileInfo QueryFileInfo(const std::string& path, bool follow_links = true);

}  // namespace grix
