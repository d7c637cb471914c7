// A small 8-bit grey PNG built in memory with zlib, for tests of code that
// takes PNG files without decoding them itself (the splash picture).
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace grix::test {

inline void PutPngChunk(std::vector<std::uint8_t>& png, const std::string& type,
                        const std::vector<std::uint8_t>& data) {
    auto put32 = [&png](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            png.push_back(static_cast<std::uint8_t>(v >> shift));
    };
    put32(static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    put32(static_cast<std::uint32_t>(
        crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
}

// A mid-grey picture; `header_width` and `header_height` (when not 0) claim
// another size in the header than the pixel data hold.
inline std::vector<std::uint8_t> GreyPng(std::uint32_t width, std::uint32_t height,
                                         std::uint32_t header_width = 0,
                                         std::uint32_t header_height = 0) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const std::uint32_t w = header_width != 0 ? header_width : width;
    const std::uint32_t h = header_height != 0 ? header_height : height;
    std::vector<std::uint8_t> ihdr;
    for (const std::uint32_t v : {w, h}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            ihdr.push_back(static_cast<std::uint8_t>(v >> shift));
    }
    ihdr.insert(ihdr.end(), {8, 0, 0, 0, 0});  // 8-bit grey, no interlace
    PutPngChunk(png, "IHDR", ihdr);
    std::vector<std::uint8_t> rows;
    for (std::uint32_t y = 0; y < height; ++y) {
        rows.push_back(0);  // no filter
        rows.insert(rows.end(), width, 0x80);
    }
    uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
    std::vector<std::uint8_t> packed(packed_size);
    compress(packed.data(), &packed_size, rows.data(), static_cast<uLong>(rows.size()));
    packed.resize(packed_size);
    PutPngChunk(png, "IDAT", packed);
    PutPngChunk(png, "IEND", {});
    return png;
}

}  // namespace grix::test
