// The BMP decoder: a Windows device-independent bitmap file (14-byte file
// header, then a core or info header, masks, colour table and pixel data)
// into a PixelStore.
#pragma once

#include <cstdint>

#include "imaging/pixel_store.h"
#include "imaging/stream.h"

namespace grix {

// The largest picture the pixel store holds: 2^28 pixels (16384 x 16384).
// Larger ones raise EOutOfMemory ("Out of memory") before anything is
// allocated. Nonogram pictures are tiny; the bound is there so that no
// header, however hostile, can make the reader allocate or work without end.
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 28;

// Bits per pixel and compression of the decoded file, for callers that show
// them.
struct BmpFormat {
    int bits_per_pixel = 0;
    std::uint32_t compression = 0;  // 0 BI_RGB, 1 BI_RLE8, 2 BI_RLE4, 3 BI_BITFIELDS
    // The file ends before the pixel data its rows need (the missing part
    // reads as zero bytes). Loading still succeeds; callers decide whether
    // a picture with made-up rows is acceptable to them.
    bool data_ends_early = false;
};

// Decodes the stream from its current position to its end. A stream of 0
// bytes gives an empty store. Raises EReadError, EInvalidGraphic or
// EOutOfMemory with the reader's messages.
PixelStore DecodeBmp(TStream& stream, BmpFormat* format = nullptr);

}  // namespace grix
