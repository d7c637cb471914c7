#include "imaging/picture.h"

#include <utility>

#include "core/errors.h"

namespace grix {

TPicture::TPicture() {
    (void)TFileFormatsList::Instance();
}
TPicture::~TPicture() = default;
TPicture::TPicture(TPicture&& other) noexcept
    : graphic_(std::move(other.graphic_)), bitmap_(std::exchange(other.bitmap_, nullptr)) {}
TPicture& TPicture::operator=(TPicture&& other) noexcept {
    graphic_ = std::move(other.graphic_);
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    return *this;
}

void TPicture::LoadPictureFile(const std::string& path) {
    const std::string extension = PictureFileExtension(path);
    const TFileFormat* format = TFileFormatsList::Instance().FindExt(extension);
    if (format == nullptr) {
        throw EInvalidGraphic("Unknown picture file extension (." + extension + ")");
    }
    std::unique_ptr<TGraphic> graphic = format->graphic_class();
    graphic->LoadFromFile(path);
    bitmap_ = dynamic_cast<TBitmap*>(graphic.get());
    graphic_ = std::move(graphic);
}

std::int32_t TPicture::Width() const {
    return graphic_ ? graphic_->Width() : 0;
}
std::int32_t TPicture::Height() const {
    return graphic_ ? graphic_->Height() : 0;
}

TBitmap& TPicture::ReplaceByEmptyBitmap() {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap_ = bitmap.get();
    graphic_ = std::move(bitmap);
    return *bitmap_;
}

}  // namespace grix
