#include "archive/zip_records.h"

namespace grix {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Put64(std::vector<std::uint8_t>& out, std::uint64_t v) {
    for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

}  // namespace

void AppendLocalHeader(std::vector<std::uint8_t>& out, const LocalHeader& h) {
    Put32(out, kLocalHeaderSignature);
    Put16(out, h.version_needed);
    Put16(out, h.flags);
    Put16(out, h.method);
    Put16(out, h.time);
    Put16(out, h.date);
    Put32(out, h.crc32);
    Put32(out, h.compressed_size);
    Put32(out, h.uncompressed_size);
    Put16(out, h.name_length);
    Put16(out, h.extra_length);
}

void AppendCentralHeader(std::vector<std::uint8_t>& out, const CentralHeader& h) {
    Put32(out, kCentralHeaderSignature);
    Put16(out, h.version_made_by);
    Put16(out, h.version_needed);
    Put16(out, h.flags);
    Put16(out, h.method);
    Put16(out, h.time);
    Put16(out, h.date);
    Put32(out, h.crc32);
    Put32(out, h.compressed_size);
    Put32(out, h.uncompressed_size);
    Put16(out, h.name_length);
    Put16(out, h.extra_length);
    Put16(out, h.comment_length);
    Put16(out, h.disk_start);
    Put16(out, h.internal_attributes);
    Put32(out, h.external_attributes);
    Put32(out, h.local_header_offset);
}

void AppendEndRecord(std::vector<std::uint8_t>& out, const EndRecord& r) {
    Put32(out, kEndRecordSignature);
    Put16(out, r.disk_number);
    Put16(out, r.central_directory_disk);
    Put16(out, r.entries_on_disk);
    Put16(out, r.total_entries);
    Put32(out, r.central_directory_size);
    Put32(out, r.central_directory_offset);
    Put16(out, r.comment_length);
}

void AppendZip64EndRecord(std::vector<std::uint8_t>& out, const Zip64EndRecord& r) {
    Put32(out, kZip64EndRecordSignature);
    Put64(out, kZip64EndRecordSize - 12);  // the size field counts what follows it
    Put16(out, kVersionZip64);
    Put16(out, kVersionZip64);
    Put32(out, r.disk_number);
    Put32(out, r.central_directory_disk);
    Put64(out, r.entries_on_disk);
    Put64(out, r.total_entries);
    Put64(out, r.central_directory_size);
    Put64(out, r.central_directory_offset);
}

void AppendZip64Locator(std::vector<std::uint8_t>& out, const Zip64Locator& l) {
    Put32(out, kZip64LocatorSignature);
    Put32(out, l.end_record_disk);
    Put64(out, l.end_record_offset);
    Put32(out, l.total_disks);
}

void AppendZip64Extra(std::vector<std::uint8_t>& out, const std::vector<std::uint64_t>& values) {
    Put16(out, kZip64ExtraId);
    Put16(out, static_cast<std::uint16_t>(values.size() * 8));
    for (std::uint64_t v : values) Put64(out, v);
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
