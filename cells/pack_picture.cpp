#include "cells/pack_picture.h"

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
    CellGrid grid;
    grid.width = bitmap.Width();
    grid.height = bitmap.Height();
    grid.cells.resize(static_cast<std::size_t>(grid.width) * static_cast<std::size_t>(grid.height));
    std::uint8_t* cell = grid.cells.data();
    for (std::int32_t y = 0; y < grid.height; ++y) {
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
