// The chunk structure of a PNG file, walked on its own: libspng checks only
// the chunks it needs to decode, so a file whose last image chunk is
// damaged, or that ends inside its final checksum, would still decode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace grix {

enum class PngDamage {
    None,
    NotPng,       // no PNG signature, or no header chunk first
    EndsEarly,    // the file ends before the end chunk is complete
    BadChecksum,  // a chunk the picture needs fails its CRC
};

struct PngStructure {
    PngDamage damage = PngDamage::None;
    std::string chunk;  // the damaged chunk's type, for BadChecksum
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Checks the signature, that IHDR comes first, and every chunk's length and
// checksum up to IEND. Ancillary chunks (text, profiles) with a bad checksum
// pass: they play no part in the pixels. Bytes after IEND are ignored.
[[nodiscard]] PngStructure CheckPngStructure(const std::uint8_t* data, std::size_t size);

// Whether the PNG decodes in full, every pixel of it. Builds without a PNG
// decoder answer from the structure alone.
[[nodiscard]] bool PngDecodes(const std::uint8_t* data, std::size_t size);

}  // namespace grix
