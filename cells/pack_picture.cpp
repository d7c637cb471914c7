#include "cells/pack_picture.h"

#include <cstddef>
#include <cstdint>

#include "core/errors.h"

namespace grix {

TBitmap& LoadPackBitmap(TPicture& picture, const std::string& path) {
    picture.LoadPictureFile(path);
    if (dynamic_cast<TBitmap*>(picture.Graphic()) == nullptr) {
        throw EInvalidGraphic(kBitmapNotValid);
    }
    return picture.AsBitmap();
}

CellGrid CellsOfPicture(const std::string& path) {
    TPicture picture;
    return CellsOfBitmap(LoadPackBitmap(picture, path));
}

CellGrid CellsOfBitmap(const TBitmap& bitmap) {
    return *ReadBitmapCells(bitmap, {});
}

std::optional<CellGrid> ReadBitmapCells(const TBitmap& bitmap, const ShouldStop& should_stop) {
    // Rows between two questions: few enough that a stop comes soon even on
    // a wide picture, many enough that asking costs nothing.
    constexpr std::int32_t kRowsPerQuestion = 16;
    const auto stop = [&should_stop] { return should_stop && should_stop(); };
    CellGrid grid;
    grid.width = bitmap.Width();
    grid.height = bitmap.Height();
    if (stop())
        return std::nullopt;
    const auto width = static_cast<std::size_t>(grid.width);
    // Grown row by row within the one reservation, so that even touching
    // the memory of a huge picture happens between questions.
    grid.cells.reserve(width * static_cast<std::size_t>(grid.height));
    for (std::int32_t y = 0; y < grid.height; ++y) {
        if (y % kRowsPerQuestion == 0 && stop())
            return std::nullopt;
        grid.cells.resize(grid.cells.size() + width);
        std::uint8_t* cell = grid.cells.data() + grid.cells.size() - width;
        for (std::int32_t x = 0; x < grid.width; ++x)
            *cell++ = IsInk(bitmap.PixelColor(x, y));
    }
    return grid;
}

bool MissingPixelsAreInk(const TBitmap& bitmap) {
    return IsInk(bitmap.MissingBytesColor());
}

std::string PictureSizeText(const std::string& path) {
    TPicture picture;
    picture.LoadPictureFile(path);
    return std::to_string(picture.Width()) + " * " + std::to_string(picture.Height());
}

}  // namespace grix
