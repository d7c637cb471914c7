// A plain 24-bit bottom-up BMP built in memory, for tests and benchmarks
// that need a picture file (the decoder's own tests build every variant byte
// by byte with tests/imaging/bmp_builder.h).
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/paths.h"

namespace grix::test {

// `rgb(x, y)` answers 0xRRGGBB for the pixel in column x of row y (0 = top).
inline std::vector<std::uint8_t> Bmp24(int width, int height,
                                       const std::function<std::uint32_t(int, int)>& rgb) {
    const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    const std::size_t size = 54 + row * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> b(size, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(size));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    b[26] = 1, b[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgb(x, y);
            const std::size_t at = 54 + static_cast<std::size_t>(height - 1 - y) * row +
                                   static_cast<std::size_t>(x) * 3;
            b[at] = static_cast<std::uint8_t>(c);            // blue
            b[at + 1] = static_cast<std::uint8_t>(c >> 8);   // green
            b[at + 2] = static_cast<std::uint8_t>(c >> 16);  // red
        }
    }
    return b;
}

inline void WriteBmp24(const std::string& path, int width, int height,
                       const std::function<std::uint32_t(int, int)>& rgb) {
    const std::vector<std::uint8_t> bytes = Bmp24(width, height, rgb);
    std::ofstream(NativePath(path), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Black where `ink(x, y)`, white elsewhere.
inline void WriteInkBmp(const std::string& path, int width, int height,
                        const std::function<bool(int, int)>& ink) {
    WriteBmp24(path, width, height,
               [&](int x, int y) { return ink(x, y) ? 0x000000u : 0xFFFFFFu; });
}

}  // namespace grix::test
