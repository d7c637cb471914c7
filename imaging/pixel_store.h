// The decoded image of a bitmap: the stored rows in one of a few layouts,
// a full 256-entry colour table and, for bit-field pictures, the channel
// masks. Reading a pixel is a few arithmetic steps and table look-ups: no
// decoding, no allocation.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/color.h"

namespace grix {

enum class PixelLayout : std::uint8_t {
    kIndexed1,     // 1 bit per pixel, leftmost pixel in the highest bit
    kIndexed4,     // 4 bits per pixel, leftmost pixel in the high nibble
    kIndexed8,     // 1 byte per pixel (also every run-length picture, expanded)
    kBitfields16,  // little-endian 16-bit words, channels by mask
    kBgr24,        // blue, green, red
    kBitfields32,  // little-endian 32-bit words, channels by mask
};

// One colour channel of a bit-field pixel.
struct ChannelMask {
    std::uint32_t mask = 0;
    int shift = 0;  // position of the mask's lowest set bit
    int bits = 0;   // width from that bit to the mask's highest set bit

    static ChannelMask From(std::uint32_t mask);

    // Narrower channels widen by shifting left alone (a 5-bit 31 reads 248,
    // not 255). That keeps existing 16-bit pictures packing to the same
    // cells as on the platform the tool came from: a 5-bit 28 reads 224 and
    // so stays ink. Wider channels keep their top 8 bits.
    std::uint32_t Widen(std::uint32_t pixel) const {
        const std::uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8)
            return (value >> (bits - 8)) & 0xFF;
        return (value << (8 - bits)) & 0xFF;
    }
};

struct PixelStore {
    std::int32_t width = 0;   // 0 for an empty bitmap
    std::int32_t height = 0;  // always positive for a picture
    PixelLayout layout = PixelLayout::kIndexed8;
    bool bottom_up = true;    // stored rows run from the bottom row of the picture
    std::int64_t stride = 0;  // bytes per stored row

    // The stored rows, in file order. It may be shorter than stride x height:
    // bytes a file does not supply (it ends early, or a run-length code skips
    // them) read as zero, which is index 0 of the colour table for indexed
    // pictures and black for the others.
    std::vector<std::uint8_t> bytes;

    // Always 256 entries, unused ones zero: an index past the file's table
    // reads black, never stray memory.
    std::array<TColor, 256> palette{};
    std::array<ChannelMask, 3> masks{};  // red, green, blue

    bool Empty() const { return width == 0 || height == 0; }

    TColor Color(std::int32_t x, std::int32_t y) const {
        // Negative coordinates become huge unsigned values, so one comparison
        // per axis rules out everything outside (and every read of an empty
        // store).
        if (static_cast<std::uint32_t>(x) >= static_cast<std::uint32_t>(width) ||
            static_cast<std::uint32_t>(y) >= static_cast<std::uint32_t>(height)) {
            return kNoPixel;
        }
        const std::int64_t row = bottom_up ? std::int64_t{height} - 1 - y : y;
        const std::int64_t base = row * stride;
        switch (layout) {
            case PixelLayout::kIndexed1:
                return palette[(ByteAt(base + (x >> 3)) >> (7 - (x & 7))) & 1];
            case PixelLayout::kIndexed4: {
                const std::uint8_t b = ByteAt(base + (x >> 1));
                return palette[(x & 1) ? (b & 0x0F) : (b >> 4)];
            }
            case PixelLayout::kIndexed8:
                return palette[ByteAt(base + x)];
            case PixelLayout::kBitfields16:
                return FromMasks(WordAt(base + std::int64_t{x} * 2, 2));
            case PixelLayout::kBgr24: {
                const std::uint32_t p = WordAt(base + std::int64_t{x} * 3, 3);
                return RgbColor(static_cast<std::uint8_t>(p >> 16),
                                static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p));
            }
            case PixelLayout::kBitfields32:
                return FromMasks(WordAt(base + std::int64_t{x} * 4, 4));
        }
        return kNoPixel;
    }

  private:
    std::uint8_t ByteAt(std::int64_t offset) const {
        return static_cast<std::uint64_t>(offset) < bytes.size()
                   ? bytes[static_cast<std::size_t>(offset)]
                   : 0;
    }
    // A little-endian word of `size` bytes; bytes past the store read as zero.
    std::uint32_t WordAt(std::int64_t offset, int size) const {
        std::uint32_t value = 0;
        if (static_cast<std::uint64_t>(offset) + static_cast<std::uint64_t>(size) <= bytes.size()) {
            const std::uint8_t* p = bytes.data() + offset;
            for (int i = 0; i < size; ++i)
                value |= std::uint32_t{p[i]} << (8 * i);
        } else {
            for (int i = 0; i < size; ++i)
                value |= std::uint32_t{ByteAt(offset + i)} << (8 * i);
        }
        return value;
    }
    TColor FromMasks(std::uint32_t pixel) const {
        return masks[0].Widen(pixel) | (masks[1].Widen(pixel) << 8) | (masks[2].Widen(pixel) << 16);
    }
};

}  // namespace grix
