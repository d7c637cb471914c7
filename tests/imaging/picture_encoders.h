// Small pictures of every importable kind, encoded by the same libraries
// the readers decode with (and BMP by tests/support/bmp_file.h), so each
// test writes exactly the pixels it then expects back.
#pragma once

#include <gif_lib.h>
#include <spng.h>
#include <turbojpeg.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <vector>

namespace grix::test {

using Bytes = std::vector<std::uint8_t>;
// 0xRRGGBBAA of the pixel in column x of row y (0 = top).
using RgbaAt = std::function<std::uint32_t(int x, int y)>;

// An 8-bit RGBA PNG, interlaced (Adam7) on request.
inline Bytes EncodePng(int width, int height, const RgbaAt& rgba, bool interlaced = false) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgba(x, y);
            for (int shift : {24, 16, 8, 0})
                pixels.push_back(static_cast<std::uint8_t>(c >> shift));
        }
    }
    spng_ctx* png = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(png, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr header{};
    header.width = static_cast<std::uint32_t>(width);
    header.height = static_cast<std::uint32_t>(height);
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    header.interlace_method = interlaced ? SPNG_INTERLACE_ADAM7 : SPNG_INTERLACE_NONE;
    spng_set_ihdr(png, &header);
    int err =
        spng_encode_image(png, pixels.data(), pixels.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    std::size_t size = 0;
    void* buffer = err == 0 ? spng_get_png_buffer(png, &size, &err) : nullptr;
    spng_ctx_free(png);
    if (buffer == nullptr)
        throw std::runtime_error(std::string("PNG encoding failed: ") + spng_strerror(err));
    Bytes bytes(static_cast<std::uint8_t*>(buffer), static_cast<std::uint8_t*>(buffer) + size);
    std::free(buffer);
    return bytes;
}

enum class JpegKind { Grey, Colour, Cmyk };

// A JPEG at the best quality, 4:4:4; for Cmyk the four bytes of rgba(x, y)
// are C, M, Y and K as stored.
inline Bytes EncodeJpeg(int width, int height, const RgbaAt& rgba, JpegKind kind) {
    const int pixel_format = kind == JpegKind::Grey   ? TJPF_GRAY
                             : kind == JpegKind::Cmyk ? TJPF_CMYK
                                                      : TJPF_RGBX;
    const int channels = tjPixelSize[pixel_format];
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgba(x, y);
            for (int i = 0; i < channels; ++i)
                pixels.push_back(static_cast<std::uint8_t>(c >> (24 - 8 * i)));
        }
    }
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int status =
        tjCompress2(handle, pixels.data(), width, 0, height, pixel_format, &out, &size,
                    kind == JpegKind::Grey ? TJSAMP_GRAY : TJSAMP_444, 100, 0);
    tjDestroy(handle);
    if (status != 0)
        throw std::runtime_error("JPEG encoding failed");
    Bytes bytes(out, out + size);
    tjFree(out);
    return bytes;
}

struct GifFrame {
    int screen_width = 0, screen_height = 0;
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint32_t> palette;      // 0xRRGGBB, 2 to 256 entries (a power of two)
    std::function<int(int x, int y)> index;  // within the frame
    int transparent = -1;
    bool interlaced = false;
};

inline int WriteToVector(GifFileType* gif, const GifByteType* data, int count) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}

inline Bytes EncodeGif(const GifFrame& frame) {
    Bytes bytes;
    int err = 0;
    GifFileType* gif = EGifOpen(&bytes, WriteToVector, &err);
    std::vector<GifColorType> colours;
    for (std::uint32_t c : frame.palette)
        colours.push_back({static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8),
                           static_cast<GifByteType>(c)});
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, frame.screen_width, frame.screen_height, 8, 0, map);
    if (frame.transparent >= 0) {
        GraphicsControlBlock control{};
        control.TransparentColor = frame.transparent;
        GifByteType block[4];
        const std::size_t n = EGifGCBToExtension(&control, block);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), block);
    }
    EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced,
                     nullptr);
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.width));
    auto put_row = [&](int y) {
        for (int x = 0; x < frame.width; ++x)
            line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(frame.index(x, y));
        EGifPutLine(gif, line.data(), frame.width);
    };
    if (frame.interlaced) {
        const int first[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int y = first[pass]; y < frame.height; y += step[pass])
                put_row(y);
        }
    } else {
        for (int y = 0; y < frame.height; ++y)
            put_row(y);
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return bytes;
}

}  // namespace grix::test
