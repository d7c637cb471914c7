#include "archive/zip_records.h"

#include <type_traits>

namespace grix {
namespace {

// Stores each value at its own width, in the order given.
template <typename... T>
void Put(std::vector<std::uint8_t>& out, T... values) {
    static_assert((std::is_unsigned_v<T> && ...));
    const auto put = [&out](auto v) {
        for (std::size_t shift = 0; shift < 8 * sizeof v; shift += 8) {
            out.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    };
    (put(values), ...);
}

void PutEntryFields(std::vector<std::uint8_t>& out, const EntryFields& f) {
    Put(out, f.version_needed, f.flags, f.method, f.time, f.date, f.crc32, f.compressed_size,
        f.uncompressed_size, f.name_length, f.extra_length);
}

template <typename Disk, typename Count, typename Extent>
void PutDirectoryFields(std::vector<std::uint8_t>& out,
                        const DirectoryFields<Disk, Count, Extent>& r) {
    Put(out, r.disk_number, r.central_directory_disk, r.entries_on_disk, r.total_entries,
        r.central_directory_size, r.central_directory_offset);
}

}  // namespace

void AppendLocalHeader(std::vector<std::uint8_t>& out, const LocalHeader& h) {
    Put(out, kLocalHeaderSignature);
    PutEntryFields(out, h);
}

void AppendCentralHeader(std::vector<std::uint8_t>& out, const CentralHeader& h) {
    Put(out, kCentralHeaderSignature, h.version_made_by);
    PutEntryFields(out, h);
    const std::uint16_t disk_start = 0;
    const std::uint16_t internal_attributes = 0;
    Put(out, h.comment_length, disk_start, internal_attributes, h.external_attributes,
        h.local_header_offset);
}

void AppendEndRecord(std::vector<std::uint8_t>& out, const EndRecord& r) {
    Put(out, kEndRecordSignature);
    PutDirectoryFields(out, r);
    Put(out, r.comment_length);
}

void AppendZip64EndRecord(std::vector<std::uint8_t>& out, const Zip64EndRecord& r) {
    // The record's size field, after the signature, counts what follows it.
    Put(out, kZip64EndRecordSignature, std::uint64_t{kZip64EndRecordSize - 12}, kVersionZip64,
        kVersionZip64);
    PutDirectoryFields(out, r);
}

void AppendZip64Locator(std::vector<std::uint8_t>& out, const Zip64Locator& l) {
    Put(out, kZip64LocatorSignature, l.end_record_disk, l.end_record_offset, l.total_disks);
}

void AppendZip64Extra(std::vector<std::uint8_t>& out, const std::vector<std::uint64_t>& values) {
    Put(out, kZip64ExtraId, static_cast<std::uint16_t>(values.size() * 8));
    for (std::uint64_t v : values) Put(out, v);
}

EndRecord MakeEndRecord(std::uint64_t count, std::uint64_t size, std::uint64_t offset) {
    EndRecord r;
    const std::uint16_t entries =
        count > 0xFFFE ? kZip64Marker16 : static_cast<std::uint16_t>(count);
    r.entries_on_disk = entries;
    r.total_entries = entries;
    r.central_directory_size = size >= kZip64Marker32 ? kZip64Marker32 : static_cast<std::uint32_t>(size);
    r.central_directory_offset =
        offset >= kZip64Marker32 ? kZip64Marker32 : static_cast<std::uint32_t>(offset);
    return r;
}

bool NeedsZip64EndRecord(std::uint64_t count, std::uint64_t size, std::uint64_t offset) {
    return count > 0xFFFE || size >= kZip64Marker32 || offset >= kZip64Marker32 ||
           offset + size >= kZip64Marker32;
}

}  // namespace grix
