// The fixed records of a ZIP archive, as plain data with their encoders.
// All integers are little-endian in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace grix {

inline constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
inline constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
inline constexpr std::uint32_t kEndRecordSignature = 0x06054B50;
inline constexpr std::uint32_t kZip64EndRecordSignature = 0x06064B50;
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;

inline constexpr std::size_t kLocalHeaderSize = 30;
inline constexpr std::size_t kCentralHeaderSize = 46;
inline constexpr std::size_t kEndRecordSize = 22;
inline constexpr std::size_t kZip64EndRecordSize = 56;
inline constexpr std::size_t kZip64LocatorSize = 20;
// The local Zip64 extra field: id, size, uncompressed and compressed size.
inline constexpr std::size_t kLocalZip64ExtraSize = 20;

// A 32-bit field holding this value says "see the Zip64 extra field";
// a 16-bit entry count holding 0xFFFF says "see the Zip64 end record".
inline constexpr std::uint32_t kZip64Marker32 = 0xFFFFFFFF;
inline constexpr std::uint16_t kZip64Marker16 = 0xFFFF;
inline constexpr std::uint16_t kZip64ExtraId = 1;

// Version fields: "2.0, made on NTFS" (high byte 0x0B), "2.0, made on FAT",
// and 4.5, which Zip64 records need.
inline constexpr std::uint16_t kVersionNtfs20 = 0x0B14;
inline constexpr std::uint16_t kVersionFat20 = 20;
inline constexpr std::uint16_t kVersionZip64 = 45;

inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
// Set on folder entries in the central directory only; readers ignore it for
// a stored entry, and existing suites carry it.
inline constexpr std::uint16_t kFlagFolderEntry = 0x0002;
// The name is UTF-8 (set only for names that are not plain ASCII).
inline constexpr std::uint16_t kFlagUtf8Name = 0x0800;

inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;

// The fields a local header and its central directory entry share, in the
// order both store them.
struct EntryFields {
    std::uint16_t version_needed = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t time = 0;
    std::uint16_t date = 0;
    std::uint32_t crc32 = 0;
    std::uint32_t compressed_size = 0;
    std::uint32_t uncompressed_size = 0;
    std::uint16_t name_length = 0;
    std::uint16_t extra_length = 0;
};

struct LocalHeader : EntryFields {};

// The central entry stores version_made_by before the shared fields and the
// rest after them. Every entry starts on the archive's one disk and carries
// no internal attributes, so those two fields are always 0 and not kept.
struct CentralHeader : EntryFields {
    std::uint16_t version_made_by = 0;
    std::uint16_t comment_length = 0;
    std::uint32_t external_attributes = 0;
    std::uint32_t local_header_offset = 0;
};

// Where the central directory is, as the end record and its Zip64 form
// both give it, in the same order at their own widths.
template <typename Disk, typename Count, typename Extent>
struct DirectoryFields {
    Disk disk_number = 0;
    Disk central_directory_disk = 0;
    Count entries_on_disk = 0;
    Count total_entries = 0;
    Extent central_directory_size = 0;
    Extent central_directory_offset = 0;
};

struct EndRecord : DirectoryFields<std::uint16_t, std::uint16_t, std::uint32_t> {
    std::uint16_t comment_length = 0;
};

struct Zip64EndRecord : DirectoryFields<std::uint32_t, std::uint64_t, std::uint64_t> {};

struct Zip64Locator {
    std::uint32_t end_record_disk = 0;
    std::uint64_t end_record_offset = 0;
    std::uint32_t total_disks = 1;
};

// Each appends the record's bytes to out.
void AppendLocalHeader(std::vector<std::uint8_t>& out, const LocalHeader& header);
void AppendCentralHeader(std::vector<std::uint8_t>& out, const CentralHeader& header);
void AppendEndRecord(std::vector<std::uint8_t>& out, const EndRecord& record);
void AppendZip64EndRecord(std::vector<std::uint8_t>& out, const Zip64EndRecord& record);
void AppendZip64Locator(std::vector<std::uint8_t>& out, const Zip64Locator& locator);
// A Zip64 extra field (id 1) holding the given 64-bit values in order.
void AppendZip64Extra(std::vector<std::uint8_t>& out, const std::vector<std::uint64_t>& values);

// The end record's fields for a central directory of `count` entries,
// `size` bytes at `offset`, each clamped to its marker when it does not fit.
EndRecord MakeEndRecord(std::uint64_t count, std::uint64_t size, std::uint64_t offset);
// Whether a Zip64 end record must precede the end record: some field of it
// holds a marker, or the directory ends beyond the 32-bit range.
bool NeedsZip64EndRecord(std::uint64_t count, std::uint64_t size, std::uint64_t offset);

}  // namespace grix
