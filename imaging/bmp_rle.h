// Expansion of run-length encoded BMP pixel data (BI_RLE8, BI_RLE4).
#pragma once

#include <cstdint>

#include "imaging/pixel_store.h"
#include "imaging/stream_reader.h"

namespace grix {

// Reads at most `budget` bytes of codes from `in` and writes one colour-table
// index per pixel into store.bytes, rows in file order, store.stride ==
// store.width. The store grows only as far as the codes write, so a file
// whose codes end early or skip to the end costs no memory for what they
// leave out; those pixels read as index 0. Answers false when the file ends
// before the codes reach the end of the picture.
[[nodiscard]] bool ExpandRle(StreamReader& in, std::int64_t budget, bool four_bit,
                             PixelStore& store);

}  // namespace grix
