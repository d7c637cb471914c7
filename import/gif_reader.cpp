#include "import/luma_readers.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "import/import_errors.h"

namespace grix {
namespace {

struct MemoryInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};

// giflib's read callback: copies what is left, fewer bytes than asked at
// the end, which giflib reports as a read error.
int ReadFromMemory(GifFileType* gif, GifByteType* out, int count) {
    auto* input = static_cast<MemoryInput*>(gif->UserData);
    const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    const std::size_t n = std::min(wanted, input->size - input->position);
    if (n > 0)
        std::memcpy(out, input->data + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

struct GifClose {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifClose>;

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
    throw EInvalidGraphic("Cannot read the GIF picture \"" + path + "\": " + reason);
}

[[noreturn]] void FailCode(const std::string& path, int code) {
    // Reading from memory fails only where the bytes run out.
    if (code == D_GIF_ERR_READ_FAILED)
        Fail(path, "the file ends too early");
    const char* text = GifErrorString(code);
    Fail(path, text != nullptr ? text : "damaged data");
}

// The rows of an interlaced frame arrive in four passes.
constexpr int kPassFirstRow[4] = {0, 4, 2, 1};
constexpr int kPassRowStep[4] = {8, 8, 4, 2};

}  // namespace

LumaImage ReadGifLuma(const std::uint8_t* data, std::size_t size, const std::string& path,
                      std::int64_t pixel_limit) {
    MemoryInput input{data, size};
    int error = 0;
    GifFile gif(DGifOpen(&input, ReadFromMemory, &error));
    if (!gif)
        FailCode(path, error);

    int transparent = -1;  // from the graphic control block before the frame
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR)
            FailCode(path, gif->Error);
        if (record == TERMINATE_RECORD_TYPE)
            Fail(path, "it holds no picture");
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
                FailCode(path, gif->Error);
            if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
                GraphicsControlBlock control{};
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                    transparent = control.TransparentColor;
            }
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
                    FailCode(path, gif->Error);
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            continue;

        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            FailCode(path, gif->Error);
        const GifImageDesc& frame = gif->Image;
        // Files in the wild give a logical screen of 0 x 0, or one smaller
        // than the frame: the picture is then as large as both together.
        const std::int64_t width =
            std::max<std::int64_t>(gif->SWidth, std::int64_t{frame.Left} + frame.Width);
        const std::int64_t height =
            std::max<std::int64_t>(gif->SHeight, std::int64_t{frame.Top} + frame.Height);
        CheckPictureSize(path, width, height, pixel_limit);
        if (frame.Width < 0 || frame.Height < 0 || frame.Left < 0 || frame.Top < 0)
            Fail(path, "the frame lies outside the picture");

        const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
        if (map == nullptr || map->Colors == nullptr)
            Fail(path, "it has no colour table");
        // Always 256 entries: an index past the file's table reads black.
        std::array<std::uint8_t, 256> luma{};
        for (int i = 0; i < std::min(map->ColorCount, 256); ++i) {
            const GifColorType& c = map->Colors[i];
            luma[static_cast<std::size_t>(i)] = LumaOverWhite(c.Red, c.Green, c.Blue);
        }

        LumaImage image;
        image.width = static_cast<std::int32_t>(width);
        image.height = static_cast<std::int32_t>(height);
        image.y.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 255);
        if (frame.Width == 0 || frame.Height == 0)
            return image;

        std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
        auto read_row = [&](int row) {
            if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
                FailCode(path, gif->Error);
            std::uint8_t* out = image.y.data() +
                                static_cast<std::size_t>(frame.Top + row) * image.width +
                                static_cast<std::size_t>(frame.Left);
            for (int x = 0; x < frame.Width; ++x) {
                if (line[static_cast<std::size_t>(x)] != transparent)
                    out[x] = luma[line[static_cast<std::size_t>(x)]];
            }
        };
        if (frame.Interlace) {
            for (int pass = 0; pass < 4; ++pass) {
                for (int row = kPassFirstRow[pass]; row < frame.Height; row += kPassRowStep[pass])
                    read_row(row);
            }
        } else {
            for (int row = 0; row < frame.Height; ++row)
                read_row(row);
        }
        return image;
    }
}

}  // namespace grix
