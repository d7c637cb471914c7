// Which way up a photo is meant to be seen. Cameras and phones store the
// pixels as the sensor read them and note the turn in the Exif data of the
// JPEG; every viewer applies it, so an import must too, or a portrait photo
// becomes a sideways puzzle.
#pragma once

#include <cstddef>
#include <cstdint>

#include "import/luma_image.h"

namespace grix {

// The Exif orientation (1-8) of the JPEG held in data[0..size): 1 (as
// stored) when it has none or the data are damaged.
[[nodiscard]] int JpegExifOrientation(const std::uint8_t* data, std::size_t size);

// Whether an orientation swaps width and height (5-8: a quarter turn).
[[nodiscard]] constexpr bool SwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// The picture as it is meant to be seen: 2 mirrored, 3 turned half way,
// 4 flipped, 5 transposed, 6 turned a quarter clockwise, 7 transversed,
// 8 turned a quarter anticlockwise; anything else as it is.
[[nodiscard]] LumaImage Orient(const LumaImage& stored, int orientation);

}  // namespace grix
