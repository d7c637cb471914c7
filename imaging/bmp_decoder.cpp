#include "imaging/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>

#include "core/errors.h"
#include "imaging/bmp_rle.h"
#include "imaging/stream_reader.h"

namespace grix {

ChannelMask ChannelMask::From(std::uint32_t mask) {
    ChannelMask channel;
    channel.mask = mask;
    if (mask != 0) {
        channel.shift = std::countr_zero(mask);
        channel.bits = std::bit_width(mask >> channel.shift);
    }
    return channel;
}

namespace {

constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
// Headers of 52 bytes and more carry the colour masks at offset 40.
constexpr std::uint32_t kHeaderWithMasksSize = 52;

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

[[noreturn]] void NotValid() {
    throw EInvalidGraphic(kBitmapNotValid);
}

// The fields of a core or info header that decoding uses.
struct PictureHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bit_count = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t size_image = 0;
    std::uint32_t clr_used = 0;
    bool has_masks = false;
    std::array<std::uint32_t, 3> masks{};  // red, green, blue
};

PictureHeader ReadPictureHeader(StreamReader& in) {
    PictureHeader h;
    h.size = in.ReadU32();
    if (h.size == kCoreHeaderSize) {
        // A core header stores its size as unsigned 16-bit values and its
        // rows always bottom row first; widened, everything else is 0.
        std::uint8_t core[8];
        in.ReadExact(core, sizeof core);
        h.width = LoadU16(core);
        h.height = LoadU16(core + 2);
        h.planes = LoadU16(core + 4);
        h.bit_count = LoadU16(core + 6);
        return h;
    }
    // Shorter headers other than the core one are no known version and
    // would leave fields undefined.
    if (h.size < kInfoHeaderSize)
        NotValid();

    std::uint8_t info[kInfoHeaderSize - 4];
    in.ReadExact(info, sizeof info);
    h.width = LoadI32(info);
    h.height = LoadI32(info + 4);
    h.planes = LoadU16(info + 8);
    h.bit_count = LoadU16(info + 10);
    h.compression = LoadU32(info + 12);
    h.size_image = LoadU32(info + 16);
    h.clr_used = LoadU32(info + 28);
    std::int64_t rest = std::int64_t{h.size} - kInfoHeaderSize;
    if (h.size >= kHeaderWithMasksSize) {
        for (auto& mask : h.masks)
            mask = in.ReadU32();
        h.has_masks = true;
        rest -= 12;
    }
    // Longer versions (108, 124 bytes, and others) are read in whole; their
    // further fields (alpha mask, colour space, profile) play no part in the
    // colours answered, so they are passed over rather than kept. A length
    // past the end of the file ends inside the header.
    in.Skip(rest);
    return h;
}

std::uint32_t DefaultTableSize(int bits_per_pixel) {
    switch (bits_per_pixel) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

bool IsAcceptedFormat(int bits_per_pixel, std::uint32_t compression) {
    switch (compression) {
        case kBiRgb:
            return bits_per_pixel == 1 || bits_per_pixel == 4 || bits_per_pixel == 8 ||
                   bits_per_pixel == 16 || bits_per_pixel == 24 || bits_per_pixel == 32;
        case kBiRle8:
            return bits_per_pixel == 8;
        case kBiRle4:
            return bits_per_pixel == 4;
        case kBiBitfields:
            return bits_per_pixel == 16 || bits_per_pixel == 32;
        default:
            return false;
    }
}

PixelLayout LayoutFor(int bits_per_pixel) {
    switch (bits_per_pixel) {
        case 1:
            return PixelLayout::kIndexed1;
        case 4:
            return PixelLayout::kIndexed4;
        case 8:
            return PixelLayout::kIndexed8;
        case 16:
            return PixelLayout::kBitfields16;
        case 24:
            return PixelLayout::kBgr24;
        default:
            return PixelLayout::kBitfields32;
    }
}

PixelStore Decode(StreamReader& in, BmpFormat* format) {
    PixelStore store;
    if (in.Remaining() == 0)
        return store;  // an empty file is an empty bitmap

    std::uint8_t file_header[14];
    in.ReadExact(file_header, sizeof file_header);
    if (LoadU16(file_header) != kBmpSignature)
        NotValid();
    const std::uint32_t off_bits = LoadU32(file_header + 10);

    PictureHeader h = ReadPictureHeader(in);
    if (h.planes != 1)
        NotValid();
    const int bpp = h.bit_count;

    if (h.size == kInfoHeaderSize && (bpp == 16 || bpp == 32) && h.compression == kBiBitfields) {
        for (auto& mask : h.masks)
            mask = in.ReadU32();
        h.has_masks = true;
    }

    const std::uint32_t table_size = h.clr_used != 0 ? h.clr_used : DefaultTableSize(bpp);
    if (table_size > store.palette.size())
        NotValid();
    {
        const std::size_t entry = h.size == kCoreHeaderSize ? 3 : 4;
        std::array<std::uint8_t, 256 * 4> table{};
        in.ReadExact(table.data(), table_size * entry);
        // Entries are blue, green, red (and a reserved byte after an info
        // header). Past the file's table the palette stays zero (black).
        for (std::size_t i = 0; i < table_size; ++i) {
            const std::uint8_t* e = table.data() + i * entry;
            store.palette[i] = RgbColor(e[2], e[1], e[0]);
        }
    }

    if (!IsAcceptedFormat(bpp, h.compression))
        NotValid();
    // Bit fields need all three masks: after a 40-byte header or inside one
    // of 52 bytes and more; the lengths between carry only part of them.
    if (h.compression == kBiBitfields && !h.has_masks)
        NotValid();
    // The most negative height has no positive counterpart.
    if (h.width <= 0 || h.height == 0 || h.height == std::numeric_limits<std::int32_t>::min()) {
        NotValid();
    }
    const std::int32_t height = h.height < 0 ? -h.height : h.height;
    if (std::int64_t{h.width} * height > kMaxBitmapPixels)
        throw EOutOfMemory(kOutOfMemory);

    // Every product below fits easily in 64 bits: width x 32 < 2^37 and the
    // picture holds at most 2^28 pixels.
    const std::int64_t stride = (std::int64_t{h.width} * bpp + 31) / 32 * 4;
    const std::int64_t size_image =
        h.size_image != 0 ? std::int64_t{h.size_image} : stride * height;

    // Pixel data start where bfOffBits says when that lies at or past the
    // end of the colour table and inside the file; writers that leave a gap
    // there (for alignment, or a colour profile) would otherwise have their
    // pictures decoded shifted. Any other value is not trusted and the data
    // are taken to follow the table directly.
    if (off_bits >= in.Position() && off_bits < in.Size())
        in.SeekTo(off_bits);
    // A file that ends early is not an error; its missing part reads as
    // zero bytes (see PixelStore::bytes).
    const std::int64_t data_bytes = std::min(in.Remaining(), size_image);

    store.width = h.width;
    store.height = height;
    store.bottom_up = h.height > 0;
    bool ends_early = false;
    if (h.compression == kBiRle8 || h.compression == kBiRle4) {
        // Expanded into exact colour-table indices: on a true-colour display
        // (the reference) run-length pictures show their table colours
        // unreduced.
        store.layout = PixelLayout::kIndexed8;
        store.stride = h.width;
        ends_early = !ExpandRle(in, data_bytes, h.compression == kBiRle4, store);
    } else {
        store.layout = LayoutFor(bpp);
        store.stride = stride;
        if (bpp == 16 && h.compression == kBiRgb) {
            h.masks = {0x7C00, 0x03E0, 0x001F};  // 5-5-5, bit 15 unused
        } else if (bpp == 32 && h.compression == kBiRgb) {
            h.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};  // stored blue, green, red, unused
        }
        for (std::size_t i = 0; i < 3; ++i)
            store.masks[i] = ChannelMask::From(h.masks[i]);
        // Only the bytes the picture's rows need; the file has them (the
        // count is bounded by its length) or they read as zero.
        const auto wanted = static_cast<std::size_t>(std::min(data_bytes, stride * height));
        store.bytes.resize(wanted);
        store.bytes.resize(in.ReadUpTo(store.bytes.data(), wanted));
        // The last row's padding is not pixel data: writers that leave it
        // out lose nothing.
        const std::int64_t needed = stride * (height - 1) + (std::int64_t{h.width} * bpp + 7) / 8;
        ends_early = static_cast<std::int64_t>(store.bytes.size()) < needed &&
                     in.Remaining() == 0 && data_bytes < size_image;
    }
    if (format != nullptr)
        *format = {bpp, h.compression, ends_early};
    return store;
}

}  // namespace

PixelStore DecodeBmp(TStream& stream, BmpFormat* format) {
    StreamReader in(stream);
    try {
        return Decode(in, format);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(kOutOfMemory);
    }
}

}  // namespace grix
