#include "convert/picture_write_back.h"

#include <cstddef>

#include "cells/pack_picture.h"
#include "convert/cell_bmp_writer.h"
#include "core/errors.h"
#include "core/file.h"
#include "core/paths.h"
#include "core/staged_file.h"
#include "imaging/bitmap.h"
#include "imaging/stream.h"

namespace grix {
namespace {

// A 1-bit picture of the largest size the reader takes, with room for any
// header: a larger file is no picture written back.
constexpr std::int64_t kMostFileBytes = (kMaxBitmapPixels / 8) + (1 << 20);

std::uint32_t Load32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) |
           (std::uint32_t{b[at + 2]} << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::uint16_t Load16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// Where the rows of a 1-bit, uncompressed, two-colour BMP lie, as the
// reader finds them; nothing for any other file.
struct OneBitLayout {
    std::size_t data = 0;    // first byte of the first stored row
    std::size_t stride = 0;  // bytes per stored row
    bool bottom_up = true;
    std::uint8_t ink_index = 0;  // the colour-table entry that is ink
};

std::optional<OneBitLayout> FindOneBitLayout(const std::vector<std::uint8_t>& b,
                                             const CellGrid& cells) {
    constexpr std::size_t kFileHeader = 14;
    constexpr std::uint32_t kInfoHeader = 40;
    if (b.size() < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M')
        return std::nullopt;
    const std::uint32_t header = Load32(b, 14);
    // The core header's 3-byte colours and unsigned sizes are read
    // differently; pictures written by today's programs never use it.
    if (header < kInfoHeader || header > b.size() - kFileHeader)
        return std::nullopt;
    const auto width = static_cast<std::int32_t>(Load32(b, 18));
    const auto height = static_cast<std::int32_t>(Load32(b, 22));
    const std::uint16_t planes = Load16(b, 26);
    const std::uint16_t bits = Load16(b, 28);
    const std::uint32_t compression = Load32(b, 30);
    const std::uint32_t colours = Load32(b, 46);
    if (planes != 1 || bits != 1 || compression != 0 || (colours != 0 && colours != 2))
        return std::nullopt;
    if (width != cells.width || (height != cells.height && height != -cells.height) ||
        cells.width <= 0 || cells.height <= 0)
        return std::nullopt;

    const std::size_t table = kFileHeader + header;
    if (table + 8 > b.size())
        return std::nullopt;
    const auto colour = [&](std::size_t entry) {
        const std::size_t at = table + entry * 4;  // blue, green, red, reserved
        return RgbColor(b[at + 2], b[at + 1], b[at]);
    };
    const bool first_ink = IsInk(colour(0));
    if (first_ink == IsInk(colour(1)))
        return std::nullopt;  // two inks or two papers: drawing would be lost

    OneBitLayout layout;
    layout.ink_index = first_ink ? 0 : 1;
    layout.bottom_up = height > 0;
    layout.stride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    // As the reader does: the rows start where the file header says when
    // that lies past the colour table and inside the file.
    const std::uint32_t offset = Load32(b, 10);
    layout.data = offset >= table + 8 && offset < b.size() ? offset : table + 8;
    if (layout.data + layout.stride * static_cast<std::size_t>(cells.height) > b.size())
        return std::nullopt;  // rows missing: they would be made up
    return layout;
}

bool ReadsBackAs(const std::vector<std::uint8_t>& bytes, const CellGrid& cells) {
    try {
        TMemoryStream stream(bytes.data(), bytes.size());
        TBitmap bitmap;
        bitmap.LoadFromStream(stream);
        return CellsOfBitmap(bitmap) == cells;
    } catch (const Error&) {
        return false;
    }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> CellsWrittenBack(const std::vector<std::uint8_t>& file,
                                                          const CellGrid& cells) {
    if (cells.cells.size() !=
        static_cast<std::size_t>(cells.width) * static_cast<std::size_t>(cells.height))
        return std::nullopt;
    const std::optional<OneBitLayout> layout = FindOneBitLayout(file, cells);
    if (!layout)
        return std::nullopt;
    std::vector<std::uint8_t> out = file;
    const auto width = static_cast<std::size_t>(cells.width);
    const auto height = static_cast<std::size_t>(cells.height);
    for (std::size_t y = 0; y < height; ++y) {
        const std::size_t stored = layout->bottom_up ? height - 1 - y : y;
        std::uint8_t* row = out.data() + layout->data + stored * layout->stride;
        for (std::size_t x = 0; x < width; ++x) {
            // Leftmost pixel in the highest bit; the padding bits stay.
            const auto bit = static_cast<std::uint8_t>(0x80u >> (x % 8));
            const bool ink = cells.cells[y * width + x] != 0;
            if (ink == (layout->ink_index == 1))
                row[x / 8] |= bit;
            else
                row[x / 8] &= static_cast<std::uint8_t>(~bit);
        }
    }
    // The reader is the judge of what the file holds: a header this code
    // reads differently from it must not pass as lossless.
    if (!ReadsBackAs(out, cells))
        return std::nullopt;
    return out;
}

bool CanWriteBackInPlace(const std::string& path, const CellGrid& cells) {
    if (!HasBmpExtension(path))
        return false;
    try {
        return CellsWrittenBack(ReadWholeFile(path, kMostFileBytes), cells).has_value();
    } catch (const Error&) {
        return false;
    }
}

void WriteCellsBack(const std::string& path, const CellGrid& cells) {
    try {
        if (!HasBmpExtension(path))
            throw Error("Not a BMP picture");
        const std::optional<std::vector<std::uint8_t>> bytes =
            CellsWrittenBack(ReadWholeFile(path, kMostFileBytes), cells);
        if (!bytes)
            throw Error("The picture cannot take the cells without changing more than them");
        WriteFileStaged(path, *bytes, ".grix-edit-");
    } catch (const Error& e) {
        throw EFCreateError("Cannot create file \"" + path + "\". " + e.what());
    }
}

std::string EditedCopyPath(const std::string& path) {
    std::string name = FileNamePart(path);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return FolderPart(path) + name + "-edited.bmp";
}

}  // namespace grix
