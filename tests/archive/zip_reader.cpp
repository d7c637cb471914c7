#include "archive/zip_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace grix::test {

std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(Get16(b, at)) | (static_cast<std::uint32_t>(Get16(b, at + 2)) << 16);
}

namespace {

ZipLocal ReadLocal(const std::vector<std::uint8_t>& b, std::size_t at) {
    ZipLocal l;
    l.version = Get16(b, at + 4);
    l.flags = Get16(b, at + 6);
    l.method = Get16(b, at + 8);
    l.time = Get16(b, at + 10);
    l.date = Get16(b, at + 12);
    l.crc32 = Get32(b, at + 14);
    l.compressed = Get32(b, at + 18);
    l.uncompressed = Get32(b, at + 22);
    l.name_length = Get16(b, at + 26);
    l.extra_length = Get16(b, at + 28);
    return l;
}

}  // namespace

ZipArchive ParseZip(const std::vector<std::uint8_t>& b) {
    ZipArchive z;
    auto fail = [&](const std::string& why) {
        z.error = why;
        return z;
    };
    if (b.size() < 22) return fail("shorter than an end record");
    const std::size_t end_at = b.size() - 22;
    if (Get32(b, end_at) != 0x06054B50) return fail("no end record in the last 22 bytes");
    z.end.disk = Get16(b, end_at + 4);
    z.end.cd_disk = Get16(b, end_at + 6);
    z.end.entries_on_disk = Get16(b, end_at + 8);
    z.end.total_entries = Get16(b, end_at + 10);
    z.end.cd_size = Get32(b, end_at + 12);
    z.end.cd_offset = Get32(b, end_at + 16);
    z.end.comment_length = Get16(b, end_at + 20);
    if (std::uint64_t{z.end.cd_offset} + z.end.cd_size != end_at) {
        return fail("central directory does not end at the end record");
    }

    std::size_t at = z.end.cd_offset;
    while (at < end_at) {
        if (Get32(b, at) != 0x02014B50) return fail("bad central header signature");
        ZipEntry e;
        ZipCentral& c = e.central;
        c.made_by = Get16(b, at + 4);
        c.version = Get16(b, at + 6);
        c.flags = Get16(b, at + 8);
        c.method = Get16(b, at + 10);
        c.time = Get16(b, at + 12);
        c.date = Get16(b, at + 14);
        c.crc32 = Get32(b, at + 16);
        c.compressed = Get32(b, at + 20);
        c.uncompressed = Get32(b, at + 24);
        c.name_length = Get16(b, at + 28);
        c.extra_length = Get16(b, at + 30);
        c.comment_length = Get16(b, at + 32);
        c.disk = Get16(b, at + 34);
        c.internal = Get16(b, at + 36);
        c.external = Get32(b, at + 38);
        c.offset = Get32(b, at + 42);
        e.name.assign(b.begin() + static_cast<long>(at) + 46,
                      b.begin() + static_cast<long>(at) + 46 + c.name_length);
        at += 46 + c.name_length + c.extra_length + c.comment_length;
        z.entries.push_back(std::move(e));
    }
    if (at != end_at) return fail("central directory overruns its size");
    if (z.entries.size() != z.end.total_entries) return fail("entry count differs");

    // Walk the local records from the start, as a streaming reader does:
    // each must follow the previous one directly, in central order.
    std::size_t local_at = 0;
    for (ZipEntry& e : z.entries) {
        if (e.central.offset != local_at) return fail("gap or overlap before " + e.name);
        if (Get32(b, local_at) != 0x04034B50) return fail("bad local signature for " + e.name);
        e.local = ReadLocal(b, local_at);
        const std::string local_name(b.begin() + static_cast<long>(local_at) + 30,
                                     b.begin() + static_cast<long>(local_at) + 30 + e.local.name_length);
        if (local_name != e.name) return fail("local name differs for " + e.name);
        const std::size_t data_at = local_at + 30 + e.local.name_length + e.local.extra_length;
        if (data_at + e.central.compressed > z.end.cd_offset) return fail("data overruns: " + e.name);
        e.data.assign(b.begin() + static_cast<long>(data_at),
                      b.begin() + static_cast<long>(data_at + e.central.compressed));
        local_at = data_at + e.central.compressed;
    }
    if (local_at != z.end.cd_offset) return fail("bytes between the last entry and the directory");
    z.ok = true;
    return z;
}

std::vector<std::uint8_t> InflateRaw(const std::vector<std::uint8_t>& data) {
    z_stream s{};
    EXPECT_EQ(inflateInit2(&s, -MAX_WBITS), Z_OK);
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> buffer(1 << 16);
    s.next_in = const_cast<Bytef*>(data.data());
    s.avail_in = static_cast<uInt>(data.size());
    int result = Z_OK;
    while (result == Z_OK) {
        s.next_out = buffer.data();
        s.avail_out = static_cast<uInt>(buffer.size());
        result = inflate(&s, Z_NO_FLUSH);
        out.insert(out.end(), buffer.data(), buffer.data() + (buffer.size() - s.avail_out));
        if (result == Z_BUF_ERROR && s.avail_in == 0) break;
    }
    EXPECT_EQ(result, Z_STREAM_END) << "not one complete raw deflate stream";
    EXPECT_EQ(s.avail_in, 0u) << "bytes after the end of the deflate stream";
    inflateEnd(&s);
    return out;
}

std::vector<std::uint8_t> EntryContent(const ZipEntry& entry) {
    return entry.central.method == 8 ? InflateRaw(entry.data) : entry.data;
}

}  // namespace grix::test
