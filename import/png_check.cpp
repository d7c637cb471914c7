#include "import/png_check.h"

#include <zlib.h>

#include <cstring>
#include <exception>

#ifdef GRIX_HAVE_PNG
#include "import/luma_readers.h"
#endif

namespace grix {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kIhdrBytes = 13;
// The format caps chunk lengths (and the sides) at 2^31 - 1.
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;

std::uint32_t LoadU32Be(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

}  // namespace

PngStructure CheckPngStructure(const std::uint8_t* data, std::size_t size) {
    PngStructure result;
    if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0) {
        result.damage = PngDamage::NotPng;
        return result;
    }
    std::size_t at = sizeof kSignature;
    bool first = true;
    for (;;) {
        if (size - at < 8) {
            result.damage = first ? PngDamage::NotPng : PngDamage::EndsEarly;
            return result;
        }
        const std::uint32_t length = LoadU32Be(data + at);
        const std::uint8_t* type = data + at + 4;
        const std::string name(reinterpret_cast<const char*>(type), 4);
        if (length > kMaxChunkLength || (first && (name != "IHDR" || length != kIhdrBytes))) {
            result.damage = PngDamage::NotPng;
            return result;
        }
        // Length, type, data and the 4-byte checksum, all inside the file.
        if (size - at - 8 < std::size_t{length} + 4) {
            result.damage = first ? PngDamage::NotPng : PngDamage::EndsEarly;
            return result;
        }
        const std::uint8_t* body = type + 4;
        if (first) {
            result.width = LoadU32Be(body);
            result.height = LoadU32Be(body + 4);
        }
        // The checksum covers the type and the data, not the length.
        const auto crc = static_cast<std::uint32_t>(
            crc32(crc32(0L, Z_NULL, 0), type, static_cast<uInt>(length) + 4));
        const bool ancillary = (type[0] & 0x20) != 0;
        if (crc != LoadU32Be(body + length) && !ancillary) {
            result.damage = PngDamage::BadChecksum;
            result.chunk = name;
            return result;
        }
        at += std::size_t{length} + 12;
        first = false;
        if (name == "IEND")
            return result;
    }
}

bool PngDecodes(const std::uint8_t* data, std::size_t size) {
#ifdef GRIX_HAVE_PNG
    try {
        (void)ReadPngLuma(data, size, "");
    } catch (const std::exception&) {
        return false;
    }
    return true;
#else
    return CheckPngStructure(data, size).damage == PngDamage::None;
#endif
}

}  // namespace grix
