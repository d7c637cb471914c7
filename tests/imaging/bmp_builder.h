// Builds BMP files byte by byte for the tests: every header field can be
// set to anything, including values no honest writer would produce.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace grix::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutU32(Bytes& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

struct Bmp {
    std::uint16_t type = 0x4D42;
    std::uint32_t header_size = 40;  // 12 writes a core header
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t planes = 1;
    std::uint16_t bpp = 24;
    std::uint32_t compression = 0;
    std::uint32_t size_image = 0;
    std::uint32_t clr_used = 0;
    // Written right after a 40-byte header, or as the header's own fields
    // at offset 40 of a longer one.
    std::vector<std::uint32_t> masks;
    // Colours as 0x00RRGGBB, written blue, green, red (and a reserved byte
    // after an info header).
    std::vector<std::uint32_t> table;
    Bytes gap;                              // between the table and the pixels
    std::optional<std::uint32_t> off_bits;  // default: where the pixels start
    Bytes pixels;

    Bytes Encode() const {
        Bytes header;
        if (header_size == 12) {
            PutU32(header, 12);
            PutU16(header, static_cast<std::uint32_t>(width));
            PutU16(header, static_cast<std::uint32_t>(height));
            PutU16(header, planes);
            PutU16(header, bpp);
        } else {
            PutU32(header, header_size);
            PutU32(header, static_cast<std::uint32_t>(width));
            PutU32(header, static_cast<std::uint32_t>(height));
            PutU16(header, planes);
            PutU16(header, bpp);
            PutU32(header, compression);
            PutU32(header, size_image);
            PutU32(header, 2835);
            PutU32(header, 2835);
            // A table shorter than the default for the depth says how long
            // it is, unless the test set the count itself.
            const std::size_t full = bpp <= 8 ? std::size_t{1} << bpp : 0;
            PutU32(header, clr_used != 0 || table.size() == full
                               ? clr_used
                               : static_cast<std::uint32_t>(table.size()));
            PutU32(header, 0);
            if (header_size > 40) {
                for (std::uint32_t m : masks)
                    PutU32(header, m);
            }
            header.resize(header_size < 4 ? 4 : header_size, 0);
            if (header_size == 40) {
                for (std::uint32_t m : masks)
                    PutU32(header, m);
            }
        }
        for (std::uint32_t c : table) {
            header.push_back(static_cast<std::uint8_t>(c));
            header.push_back(static_cast<std::uint8_t>(c >> 8));
            header.push_back(static_cast<std::uint8_t>(c >> 16));
            if (header_size != 12)
                header.push_back(0);
        }
        const auto pixel_start = static_cast<std::uint32_t>(14 + header.size() + gap.size());
        Bytes out;
        PutU16(out, type);
        PutU32(out, static_cast<std::uint32_t>(14 + header.size() + gap.size() + pixels.size()));
        PutU32(out, 0);
        PutU32(out, off_bits.value_or(pixel_start));
        out.insert(out.end(), header.begin(), header.end());
        out.insert(out.end(), gap.begin(), gap.end());
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

// Stored rows (in file order) of 1-, 4- or 8-bit indices, 16- or 32-bit
// little-endian words, or 24-bit colours given as 0x00RRGGBB; each row
// padded to a multiple of 4 bytes.
inline Bytes Rows(const std::vector<std::vector<std::uint32_t>>& rows, int bpp) {
    Bytes out;
    for (const auto& row : rows) {
        Bytes bytes;
        if (bpp < 8) {
            const int per_byte = 8 / bpp;
            for (std::size_t i = 0; i < row.size(); i += per_byte) {
                std::uint32_t b = 0;
                for (int k = 0; k < per_byte && i + k < row.size(); ++k) {
                    b |= row[i + k] << (8 - bpp * (k + 1));
                }
                bytes.push_back(static_cast<std::uint8_t>(b));
            }
        } else {
            for (std::uint32_t v : row) {
                for (int k = 0; k < bpp / 8; ++k)
                    bytes.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
            }
        }
        while (bytes.size() % 4 != 0)
            bytes.push_back(0);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

}  // namespace grix::test
