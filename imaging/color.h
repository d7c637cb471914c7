// The colour a picture answers for one pixel.
#pragma once

#include <cstdint>

namespace grix {

// Red in bits 0-7, green in bits 8-15, blue in bits 16-23, bits 24-31 zero
// (0x00BBGGRR) for a pixel that exists.
using TColor = std::uint32_t;

// The answer for a read outside a picture (or of a picture with no pixels).
inline constexpr TColor kNoPixel = 0xFFFFFFFF;

constexpr TColor RgbColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return TColor{red} | (TColor{green} << 8) | (TColor{blue} << 16);
}

}  // namespace grix
