// Feeds arbitrary bytes to the BMP decoder, the same decoder LoadPictureFile
// runs on a .bmp file, and reads back every pixel of what it accepts, plus
// the ring of coordinates just outside the picture. Any failure must be one
// of the reader's own errors; anything else (a crash, a sanitizer report, a
// leak, a stray exception) is a bug.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "core/errors.h"
#include "imaging/picture.h"

namespace {

// Pictures up to this many pixels are read in full. Larger ones (a few
// hostile header bytes can claim 2^28 pixels, all of them valid reads) are
// read on a sparse grid that still reaches every row and column edge, so a
// single input never takes seconds.
constexpr std::int64_t kFullReadPixels = std::int64_t{1} << 20;

volatile std::uint32_t g_sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    grix::TBitmap bitmap;
    try {
        bitmap.LoadFromBytes(data, size);
    } catch (const grix::Error&) {
        return 0;
    }
    const std::int32_t width = bitmap.Width();
    const std::int32_t height = bitmap.Height();
    if (width < 0 || height < 0)
        __builtin_trap();

    std::uint32_t mix = 0;
    const bool full = std::int64_t{width} * height <= kFullReadPixels;
    const std::int32_t step_x = full ? 1 : width / 512 + 1;
    const std::int32_t step_y = full ? 1 : height / 512 + 1;
    for (std::int32_t y = -1; y <= height; y += (y <= 0 || y >= height - 1) ? 1 : step_y) {
        for (std::int32_t x = -1; x <= width; x += (x <= 0 || x >= width - 1) ? 1 : step_x) {
            const grix::TColor c = bitmap.PixelColor(x, y);
            const bool outside = x < 0 || y < 0 || x >= width || y >= height;
            // Inside: a colour with its top byte clear. Outside: no pixel.
            if (outside ? c != grix::kNoPixel : (c >> 24) != 0)
                __builtin_trap();
            mix ^= c;
        }
    }
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    if (bitmap.PixelColor(kMin, 0) != grix::kNoPixel ||
        bitmap.PixelColor(0, kMax) != grix::kNoPixel ||
        bitmap.PixelColor(kMax, kMin) != grix::kNoPixel) {
        __builtin_trap();
    }
    g_sink = mix;
    return 0;
}
