// BMP pictures for import, through our own BMP reader: every variant the
// crossword pack reads, so a picture already drawn for Grix converts too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/luma_image.h"
#include "import/picture_size_limit.h"

namespace grix {

// Decodes the BMP held in data[0..size) to luminance (BMP pixels are
// opaque). `path` names the file in messages: EInvalidGraphic for a file
// the reader refuses, EPictureTooLarge above `pixel_limit`.
[[nodiscard]] LumaImage ReadBmpLuma(const std::uint8_t* data, std::size_t size,
                                    const std::string& path,
                                    std::int64_t pixel_limit = kMaxImportPixels);

}  // namespace grix
