#include "import/luma_readers.h"

#include "imaging/bitmap.h"
#include "import/import_errors.h"

namespace grix {

LumaImage ReadBmpLuma(const std::uint8_t* data, std::size_t size, const std::string& path,
                      std::int64_t pixel_limit) {
    TBitmap bitmap;
    try {
        bitmap.LoadFromBytes(data, size);
    } catch (const Error& e) {
        // The reader's own messages ("Bitmap image is not valid") name no
        // file; an import names it.
        throw EInvalidGraphic("Cannot read the BMP picture \"" + path + "\": " + e.what());
    }
    // The pack reads such a file with made-up rows; an import has no
    // reason to turn a damaged file into a puzzle.
    if (bitmap.Format().data_ends_early)
        throw EInvalidGraphic("Cannot read the BMP picture \"" + path + "\": the file ends early");
    CheckPictureSize(path, bitmap.Width(), bitmap.Height(), pixel_limit);

    LumaImage image;
    image.width = bitmap.Width();
    image.height = bitmap.Height();
    image.y.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    std::uint8_t* out = image.y.data();
    for (std::int32_t y = 0; y < image.height; ++y) {
        for (std::int32_t x = 0; x < image.width; ++x) {
            const TColor c = bitmap.PixelColor(x, y);
            *out++ = LumaOverWhite(static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                                   static_cast<std::uint8_t>(c >> 16));
        }
    }
    return image;
}

}  // namespace grix
