#include "builder/pack_picture.h"

#include "core/errors.h"

namespace grix {

TBitmap& LoadPackBitmap(TPicture& picture, const std::string& path) {
    picture.LoadPictureFile(path);
    if (dynamic_cast<TBitmap*>(picture.Graphic()) == nullptr) {
        throw EInvalidGraphic(kBitmapNotValid);
    }
    return picture.AsBitmap();
}

std::string PictureSizeText(const std::string& path) {
    TPicture picture;
    picture.LoadPictureFile(path);
    return std::to_string(picture.Width()) + " * " + std::to_string(picture.Height());
}

}  // namespace grix
