#include "import/picture_reader.h"

#include <cstring>
#include <vector>

#include "imaging/stream.h"
#include "import/import_errors.h"
#ifdef GRIX_HAVE_JPEG
#include "import/jpeg_reader.h"
#endif
#include "import/luma_readers.h"

namespace grix {
namespace {

bool StartsWith(const std::uint8_t* data, std::size_t size, const char* magic, std::size_t n) {
    return size >= n && std::memcmp(data, magic, n) == 0;
}

// Only a cross build made without one of the decoders gets here.
[[noreturn]] void RefuseKind(const std::string& path, const char* kind) {
    throw EInvalidGraphic("This build of Grix cannot read " + std::string(kind) +
                          " pictures such as \"" + path + "\"");
}

using LumaReader = LumaImage (*)(const std::uint8_t*, std::size_t, const std::string&,
                                 std::int64_t);

// The whole-picture reader of each kind, or none where this build lacks
// its decoder.
#ifdef GRIX_HAVE_PNG
constexpr LumaReader kPngReader = ReadPngLuma;
#else
constexpr LumaReader kPngReader = nullptr;
#endif
#ifdef GRIX_HAVE_GIF
constexpr LumaReader kGifReader = ReadGifLuma;
#else
constexpr LumaReader kGifReader = nullptr;
#endif

LumaImage ReadWhole(LumaReader reader, const char* kind, const std::uint8_t* data,
                    std::size_t size, const std::string& path, std::int64_t pixel_limit) {
    if (reader == nullptr)
        RefuseKind(path, kind);
    return reader(data, size, path, pixel_limit);
}

}  // namespace

std::optional<PictureKind> SniffPictureKind(const std::uint8_t* data, std::size_t size) {
    if (StartsWith(data, size, "\x89PNG\r\n\x1a\n", 8))
        return PictureKind::Png;
    if (StartsWith(data, size, "\xFF\xD8\xFF", 3))
        return PictureKind::Jpeg;
    if (StartsWith(data, size, "GIF87a", 6) || StartsWith(data, size, "GIF89a", 6))
        return PictureKind::Gif;
    if (StartsWith(data, size, "BM", 2))
        return PictureKind::Bmp;
    return std::nullopt;
}

DecodedPicture DecodePicture(const std::uint8_t* data, std::size_t size, const std::string& path,
                             const ReadOptions& options) {
    const std::optional<PictureKind> kind = SniffPictureKind(data, size);
    if (!kind)
        throw EInvalidGraphic("\"" + path + "\" is not a PNG, JPEG, GIF or BMP picture");
    DecodedPicture picture;
    picture.kind = *kind;
    switch (*kind) {
        case PictureKind::Png:
            picture.luma = ReadWhole(kPngReader, "PNG", data, size, path, options.pixel_limit);
            break;
        case PictureKind::Jpeg: {
#ifdef GRIX_HAVE_JPEG
            JpegLuma jpeg = ReadJpegLuma(data, size, path, options.min_width, options.min_height,
                                         options.pixel_limit);
            picture.luma = std::move(jpeg.image);
            picture.source_width = jpeg.source_width;
            picture.source_height = jpeg.source_height;
            return picture;
#else
            RefuseKind(path, "JPEG");
#endif
        }
        case PictureKind::Gif:
            picture.luma = ReadWhole(kGifReader, "GIF", data, size, path, options.pixel_limit);
            break;
        case PictureKind::Bmp:
            picture.luma = ReadBmpLuma(data, size, path, options.pixel_limit);
            break;
    }
    picture.source_width = picture.luma.width;
    picture.source_height = picture.luma.height;
    return picture;
}

DecodedPicture ReadPicture(const std::string& path, const ReadOptions& options) {
    TFileStream file(path);
    if (file.Size() > kMaxImportFileBytes) {
        throw EPictureTooLarge(
            "The picture file \"" + path + "\" is too large: " + std::to_string(file.Size()) +
            " bytes, more than " + std::to_string(kMaxImportFileBytes >> 20) + " MB");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return DecodePicture(bytes.data(), bytes.size(), path, options);
}

}  // namespace grix
