// Reading a picture to import, whatever its kind: PNG, JPEG, GIF (first
// frame) or BMP, told apart by their first bytes rather than the file's
// name, so a JPEG saved as "photo.png" still reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "import/luma_image.h"
#include "import/picture_size_limit.h"

namespace grix {

enum class PictureKind { Png, Jpeg, Gif, Bmp };

// Files above this are refused before they are read into memory: no
// picture within the pixel limit needs more.
inline constexpr std::int64_t kMaxImportFileBytes = std::int64_t{256} << 20;

[[nodiscard]] std::optional<PictureKind> SniffPictureKind(const std::uint8_t* data,
                                                          std::size_t size);

struct ReadOptions {
    // A smaller decode is welcome down to this size (0: the full size); only
    // JPEG decodes smaller, by its DCT scaling.
    std::int32_t min_width = 0;
    std::int32_t min_height = 0;
    std::int64_t pixel_limit = kMaxImportPixels;
};

struct DecodedPicture {
    PictureKind kind = PictureKind::Bmp;
    LumaImage luma;                 // may be smaller than the source
    std::int32_t source_width = 0;  // the picture's own size, for its aspect ratio
    std::int32_t source_height = 0;
};

// Decodes the picture held in data[0..size); `path` names it in messages.
// Failures: EInvalidGraphic (not a picture we read, or damaged),
// EPictureTooLarge (over the pixel limit), EOutOfMemory.
[[nodiscard]] DecodedPicture DecodePicture(const std::uint8_t* data, std::size_t size,
                                           const std::string& path,
                                           const ReadOptions& options = {});

// Reads the file and decodes it. Adds EFOpenError ("Cannot open file ...")
// and EPictureTooLarge for a file over kMaxImportFileBytes.
[[nodiscard]] DecodedPicture ReadPicture(const std::string& path, const ReadOptions& options = {});

}  // namespace grix
