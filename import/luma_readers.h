// The readers that decode a whole picture to luminance over white, one per
// kind. Each decodes the file's bytes data[0..size); `path` names the file
// in messages: EInvalidGraphic for data the reader refuses, EPictureTooLarge
// above `pixel_limit`. JPEG, which can decode at a reduced size, has its own
// (jpeg_reader.h).
//
// The PNG and GIF readers are built only where their library was found
// (import/CMakeLists.txt); the BMP reader always is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/luma_image.h"
#include "import/picture_size_limit.h"

namespace grix {

// PNG through libspng: every colour type and bit depth, palette and tRNS
// transparency, interlaced or not.
[[nodiscard]] LumaImage ReadPngLuma(const std::uint8_t* data, std::size_t size,
                                    const std::string& path,
                                    std::int64_t pixel_limit = kMaxImportPixels);

// GIF through giflib: the first frame of a still or animated GIF, with its
// transparency, on its logical screen; the rest of the screen and
// transparent pixels are white.
[[nodiscard]] LumaImage ReadGifLuma(const std::uint8_t* data, std::size_t size,
                                    const std::string& path,
                                    std::int64_t pixel_limit = kMaxImportPixels);

// BMP through our own BMP reader: every variant the crossword pack reads, so
// a picture already drawn for Grix converts too. BMP pixels are opaque.
[[nodiscard]] LumaImage ReadBmpLuma(const std::uint8_t* data, std::size_t size,
                                    const std::string& path,
                                    std::int64_t pixel_limit = kMaxImportPixels);

}  // namespace grix
