// The largest picture an import decodes. A photo of a modern phone has 12 to
// 50 megapixels; a crossword needs a few hundred cells. The bound keeps a
// hostile header from making a reader allocate or work without end, and is
// checked from the header, in 64 bits, before any pixel memory is taken.
#pragma once

#include <cstdint>
#include <string>

namespace grix {

inline constexpr std::int64_t kMaxImportPixels = 64'000'000;

// Throws EPictureTooLarge when width x height is above `limit`, and
// EInvalidGraphic when either is 0 or less. `path` names the file in the
// message.
void CheckPictureSize(const std::string& path, std::int64_t width, std::int64_t height,
                      std::int64_t limit);

}  // namespace grix
