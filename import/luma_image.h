// A picture reduced to what a crossword needs of it: the luminance of every
// pixel as it would look on white paper.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace grix {

// Luminance 0 (black) to 255 (white), row by row from the top.
struct LumaImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> y;

    [[nodiscard]] std::uint8_t At(std::int32_t x, std::int32_t row) const {
        return y[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)];
    }
};

// Y = 0.299 R + 0.587 G + 0.114 B of the colour laid over white by its
// alpha (255 opaque), rounded. Compositing each channel first and taking Y
// after gives the same value: both steps are linear.
constexpr std::uint8_t LumaOverWhite(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                     std::uint8_t alpha = 255) {
    const std::uint32_t y1000 = 299u * red + 587u * green + 114u * blue;  // up to 255,000
    const std::uint32_t over_white = y1000 * alpha + 255000u * (255u - alpha);
    return static_cast<std::uint8_t>((over_white + 127500u) / 255000u);
}

}  // namespace grix
