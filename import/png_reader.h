// PNG pictures, through libspng: every colour type and bit depth, palette
// and tRNS transparency, interlaced or not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/luma_image.h"
#include "import/picture_size_limit.h"

namespace grix {

// Decodes the PNG held in data[0..size) to luminance over white. `path`
// names the file in messages: EInvalidGraphic for damaged data,
// EPictureTooLarge above `pixel_limit`.
[[nodiscard]] LumaImage ReadPngLuma(const std::uint8_t* data, std::size_t size,
                                    const std::string& path,
                                    std::int64_t pixel_limit = kMaxImportPixels);

}  // namespace grix
