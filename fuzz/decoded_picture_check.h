// What every picture-import fuzz target does with a picture its decoder
// accepted: the same scaling and threshold grix-cli convert applies. An
// image whose size disagrees with its pixels, or a cell outside 0..255, is a
// decoder bug and stops the run.
#pragma once

#include <cstddef>
#include <cstdint>

#include "convert/cell_scaling.h"
#include "convert/cell_threshold.h"
#include "core/errors.h"

namespace grix {

// Smaller than the import's limit, so that no single input takes seconds;
// the limit's own check is the same code either way.
inline constexpr std::int64_t kFuzzPixelLimit = std::int64_t{1} << 22;

inline void ConvertDecodedPicture(const LumaImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.y.size() != static_cast<std::size_t>(image.width) * image.height) {
        __builtin_trap();
    }
    const CellLuma cells = AreaAverage(image, 7, 5);
    for (const float y : cells.y) {
        if (!(y >= 0 && y <= 255.01f)) __builtin_trap();
    }
    (void)ThresholdCells(cells, OtsuThreshold(cells), false);
}

// One fuzz input: what `decode` answers is converted as above; one of our
// own errors is a refusal, and anything else escapes to the fuzzer.
template <typename Decode>
int FuzzDecoder(Decode decode) {
    try {
        ConvertDecodedPicture(decode());
    } catch (const Error&) {
    }
    return 0;
}

}  // namespace grix
