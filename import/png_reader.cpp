#include "import/luma_readers.h"

#include <spng.h>

#include <memory>
#include <vector>

#include "import/import_errors.h"
#include "import/png_check.h"

namespace grix {
namespace {

struct ContextFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using PngContext = std::unique_ptr<spng_ctx, ContextFree>;

// Ancillary chunks (text, profiles) are skipped but still read; these
// bounds keep a file from making the decoder hold more than a few
// megabytes of them.
constexpr std::size_t kChunkLimit = std::size_t{16} << 20;
constexpr std::size_t kChunkCacheLimit = std::size_t{64} << 20;

// Where each of the seven Adam7 passes puts its pixels within a row.
constexpr int kPassFirstColumn[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr int kPassColumnStep[7] = {8, 8, 4, 4, 2, 2, 1};

[[noreturn]] void Fail(const std::string& path, int code) {
    throw EInvalidGraphic("Cannot read the PNG picture \"" + path + "\": " + spng_strerror(code));
}

}  // namespace

LumaImage ReadPngLuma(const std::uint8_t* data, std::size_t size, const std::string& path,
                      std::int64_t pixel_limit) {
    PngContext context(spng_ctx_new(0));
    if (!context)
        throw EOutOfMemory(kOutOfMemory);
    spng_ctx* png = context.get();
    // A damaged ancillary chunk (a bad checksum on a text note) should not
    // cost the author the picture; a damaged image chunk still fails.
    spng_set_crc_action(png, SPNG_CRC_ERROR, SPNG_CRC_DISCARD);
    spng_set_chunk_limits(png, kChunkLimit, kChunkCacheLimit);
    if (int err = spng_set_png_buffer(png, data, size))
        Fail(path, err);

    spng_ihdr header{};
    if (int err = spng_get_ihdr(png, &header))
        Fail(path, err);
    CheckPictureSize(path, header.width, header.height, pixel_limit);

    // Checked after the size, so that a picture too large is named as one
    // even when it is cut short as well.
    const PngStructure structure = CheckPngStructure(data, size);
    if (structure.damage == PngDamage::EndsEarly) {
        throw EInvalidGraphic("Cannot read the PNG picture \"" + path + "\": the file ends early");
    }
    if (structure.damage == PngDamage::BadChecksum) {
        throw EInvalidGraphic("Cannot read the PNG picture \"" + path + "\": the checksum of its " +
                              structure.chunk + " chunk is wrong (the file is damaged)");
    }
    // Anything else that is no PNG the library has refused already.

    // Row by row into one reused RGBA row: the whole picture is never held
    // in colour, only its luminance.
    if (int err = spng_decode_image(png, nullptr, 0, SPNG_FMT_RGBA8,
                                    SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE)) {
        Fail(path, err);
    }
    LumaImage image;
    image.width = static_cast<std::int32_t>(header.width);
    image.height = static_cast<std::int32_t>(header.height);
    image.y.assign(static_cast<std::size_t>(header.width) * header.height, 255);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(header.width) * 4);

    const bool interlaced = header.interlace_method != 0;
    for (;;) {
        spng_row_info info{};
        int err = spng_get_row_info(png, &info);
        if (err == SPNG_EOI)
            break;
        if (err)
            Fail(path, err);
        err = spng_decode_row(png, row.data(), row.size());
        if (err != 0 && err != SPNG_EOI)
            Fail(path, err);
        // An interlaced pass writes only its own columns into the row; the
        // others still hold an earlier pass's pixels.
        const int pass = interlaced ? info.pass : 6;
        if (pass < 0 || pass > 6 || info.row_num >= header.height)
            Fail(path, SPNG_EINTERNAL);
        std::uint8_t* out = image.y.data() + static_cast<std::size_t>(info.row_num) * header.width;
        for (std::size_t x = kPassFirstColumn[pass]; x < header.width; x += kPassColumnStep[pass]) {
            const std::uint8_t* p = row.data() + x * 4;
            out[x] = LumaOverWhite(p[0], p[1], p[2], p[3]);
        }
        if (err == SPNG_EOI)
            break;
    }
    return image;
}

}  // namespace grix
