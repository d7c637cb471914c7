// JPEG pictures, through libjpeg-turbo's TurboJPEG interface: baseline and
// progressive, grey, colour and CMYK.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/luma_image.h"
#include "import/picture_size_limit.h"

namespace grix {

struct JpegLuma {
    LumaImage image;  // possibly reduced, see ReadJpegLuma
    std::int32_t source_width = 0;
    std::int32_t source_height = 0;
};

// Decodes the JPEG held in data[0..size) to luminance over white. When
// `min_width` or `min_height` is given, the decoder scales by the smallest
// of its factors (1/8, 2/8 ... 8/8) that still gives at least that many
// pixels: scaling by 1/8 keeps only each 8 x 8 block's mean, far cheaper
// than decoding every pixel only to average them again. `path` names the
// file in messages: EInvalidGraphic for damaged data, EPictureTooLarge when
// the full size is above `pixel_limit`.
[[nodiscard]] JpegLuma ReadJpegLuma(const std::uint8_t* data, std::size_t size,
                                    const std::string& path, std::int32_t min_width = 0,
                                    std::int32_t min_height = 0,
                                    std::int64_t pixel_limit = kMaxImportPixels);

}  // namespace grix
