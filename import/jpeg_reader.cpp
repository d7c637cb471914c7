#include "import/jpeg_reader.h"

#include <turbojpeg.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "import/exif_orientation.h"
#include "import/import_errors.h"

namespace grix {
namespace {

struct HandleFree {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using JpegHandle = std::unique_ptr<void, HandleFree>;

[[noreturn]] void Fail(const std::string& path, void* handle) {
    throw EInvalidGraphic("Cannot read the JPEG picture \"" + path +
                          "\": " + tjGetErrorStr2(handle));
}

// Warnings after which every pixel is still the file's own: stray bytes
// between segments (common from old cameras) and side data the decode does
// not use. Every other warning means pixels the file does not hold.
bool IsHarmlessWarning(const std::string& warning) {
    for (const char* harmless : {"extraneous bytes before marker", "bad ICC marker",
                                 "Unknown Adobe color transform", "unknown JFIF revision"}) {
        if (warning.find(harmless) != std::string::npos)
            return true;
    }
    return false;
}

// "Premature end of JPEG file", "premature end of data segment".
bool IsTruncationWarning(const std::string& warning) {
    return warning.find("remature end") != std::string::npos;
}

// The smallest scaling factor of at most 1 that keeps both sides at least
// the minimum asked (the full size when none is that small).
tjscalingfactor PickScale(int width, int height, int min_width, int min_height) {
    tjscalingfactor best{1, 1};
    if (min_width <= 0 && min_height <= 0)
        return best;
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    for (int i = 0; factors != nullptr && i < count; ++i) {
        const tjscalingfactor f = factors[i];
        if (f.num > f.denom || f.num * best.denom >= best.num * f.denom)
            continue;  // enlarging, or no smaller than the best so far
        if (TJSCALED(width, f) >= min_width && TJSCALED(height, f) >= min_height)
            best = f;
    }
    return best;
}

}  // namespace

JpegLuma ReadJpegLuma(const std::uint8_t* data, std::size_t size, const std::string& path,
                      std::int32_t min_width, std::int32_t min_height, std::int64_t pixel_limit) {
    JpegHandle handle(tjInitDecompress());
    if (!handle)
        throw EOutOfMemory(kOutOfMemory);
    if (size > static_cast<std::size_t>(std::numeric_limits<unsigned long>::max()))
        throw EInvalidGraphic("Cannot read the JPEG picture \"" + path + "\": file too long");
    const auto* bytes = static_cast<const unsigned char*>(data);
    const auto length = static_cast<unsigned long>(size);

    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), bytes, length, &width, &height, &subsampling,
                            &colorspace) != 0) {
        Fail(path, handle.get());
    }
    // A file cut inside its headers can pass the header read with no size.
    if (width <= 0 || height <= 0)
        throw EInvalidGraphic("Cannot read the JPEG picture \"" + path +
                              "\": the file ends before the picture's size");
    CheckPictureSize(path, width, height, pixel_limit);

    // Sizes as seen: a photo taken upright is stored lying on its side.
    const int orientation = JpegExifOrientation(data, size);
    const bool swapped = SwapsSides(orientation);
    const tjscalingfactor scale = swapped ? PickScale(width, height, min_height, min_width)
                                          : PickScale(width, height, min_width, min_height);
    JpegLuma result;
    result.source_width = swapped ? height : width;
    result.source_height = swapped ? width : height;
    LumaImage& image = result.image;
    image.width = TJSCALED(width, scale);
    image.height = TJSCALED(height, scale);
    const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;

    // A progressive file of thousands of scans takes minutes to decode for
    // a few bytes of input; the library refuses such files on request.
    const int flags = TJFLAG_LIMITSCANS;
    auto decoded = [&](int status) {
        if (status == 0)
            return true;
        if (tjGetErrorCode(handle.get()) != TJERR_WARNING)
            return false;
        const std::string warning = tjGetErrorStr2(handle.get());
        // The library goes on after data that ends early or does not decode,
        // and paints what it lacks in one flat colour: a cut photo would
        // become a puzzle with a solid band no author drew.
        if (IsTruncationWarning(warning)) {
            throw EInvalidGraphic("Cannot read the JPEG picture \"" + path +
                                  "\": the file ends early");
        }
        return IsHarmlessWarning(warning);
    };

    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) {
        // The library gives CMYK only as CMYK. Files in the wild come from
        // one publishing program's convention, which stores every channel
        // inverted (255 = no ink), so red = C x K / 255 and so on.
        std::vector<std::uint8_t> cmyk(pixels * 4);
        if (!decoded(tjDecompress2(handle.get(), bytes, length, cmyk.data(), image.width, 0,
                                   image.height, TJPF_CMYK, flags))) {
            Fail(path, handle.get());
        }
        image.y.resize(pixels);
        for (std::size_t i = 0; i < pixels; ++i) {
            const std::uint8_t* p = cmyk.data() + i * 4;
            const unsigned k = p[3];
            image.y[i] = LumaOverWhite(static_cast<std::uint8_t>((p[0] * k + 127) / 255),
                                       static_cast<std::uint8_t>((p[1] * k + 127) / 255),
                                       static_cast<std::uint8_t>((p[2] * k + 127) / 255));
        }
    } else {
        // A colour JPEG stores Y = 0.299 R + 0.587 G + 0.114 B itself, so
        // decoding its grey component alone gives the luminance without
        // converting colours at all (and skips the colour components' work).
        image.y.resize(pixels);
        if (!decoded(tjDecompress2(handle.get(), bytes, length, image.y.data(), image.width, 0,
                                   image.height, TJPF_GRAY, flags))) {
            Fail(path, handle.get());
        }
    }
    if (orientation != 1)
        image = Orient(image, orientation);
    return result;
}

}  // namespace grix
