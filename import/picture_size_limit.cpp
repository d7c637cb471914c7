#include "import/picture_size_limit.h"

#include "import/import_errors.h"

namespace grix {

void CheckPictureSize(const std::string& path, std::int64_t width, std::int64_t height,
                      std::int64_t limit) {
    if (width <= 0 || height <= 0)
        throw EInvalidGraphic("The picture \"" + path + "\" has no pixels");
    // Division form: width x height itself could overflow for the widths a
    // hostile 32-bit header can claim.
    if (width > limit / height) {
        throw EPictureTooLarge("The picture \"" + path +
                               "\" is too large: " + std::to_string(width) + " x " +
                               std::to_string(height) + " pixels, more than " +
                               std::to_string(limit / 1'000'000) + " megapixels");
    }
}

}  // namespace grix
