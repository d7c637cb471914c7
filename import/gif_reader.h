// GIF pictures, through giflib: the first frame of a still or animated
// GIF, with its transparency, on its logical screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/luma_image.h"
#include "import/picture_size_limit.h"

namespace grix {

// Decodes the first frame of the GIF held in data[0..size) to luminance
// over white; the rest of the logical screen and transparent pixels are
// white. `path` names the file in messages: EInvalidGraphic for damaged
// data, EPictureTooLarge above `pixel_limit`.
[[nodiscard]] LumaImage ReadGifLuma(const std::uint8_t* data, std::size_t size,
                                    const std::string& path,
                                    std::int64_t pixel_limit = kMaxImportPixels);

}  // namespace grix
