// A strict, independent reader of the archives the writer produces, for
// checking their bytes: every field as stored, the central directory
// cross-checked against the local headers, and the local records walked
// in order from the start as a streaming reader (a phone) would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace grix::test {

struct ZipLocal {
    std::uint16_t version = 0, flags = 0, method = 0, time = 0, date = 0;
    std::uint32_t crc32 = 0, compressed = 0, uncompressed = 0;
    std::uint16_t name_length = 0, extra_length = 0;
};

struct ZipCentral {
    std::uint16_t made_by = 0, version = 0, flags = 0, method = 0, time = 0, date = 0;
    std::uint32_t crc32 = 0, compressed = 0, uncompressed = 0;
    std::uint16_t name_length = 0, extra_length = 0, comment_length = 0, disk = 0, internal = 0;
    std::uint32_t external = 0, offset = 0;
};

struct ZipEntry {
    std::string name;
    ZipLocal local;
    ZipCentral central;
    std::vector<std::uint8_t> data;  // the stored bytes (raw deflate or plain)
};

struct ZipEnd {
    std::uint16_t disk = 0, cd_disk = 0, entries_on_disk = 0, total_entries = 0;
    std::uint32_t cd_size = 0, cd_offset = 0;
    std::uint16_t comment_length = 0;
};

struct ZipArchive {
    bool ok = false;
    std::string error;  // what was wrong when !ok
    std::vector<ZipEntry> entries;
    ZipEnd end;
};

// Parses an archive without Zip64 records and without archive comment.
ZipArchive ParseZip(const std::vector<std::uint8_t>& bytes);

// Inflates raw deflate data; fails the test when it is not one complete stream.
std::vector<std::uint8_t> InflateRaw(const std::vector<std::uint8_t>& data);

// The entry's original bytes (inflated when method 8).
std::vector<std::uint8_t> EntryContent(const ZipEntry& entry);

std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at);
std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at);

}  // namespace grix::test
