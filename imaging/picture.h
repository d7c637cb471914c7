// TPicture: a holder for at most one graphic, loaded from a file whose
// extension names its kind. Everything that reads pictures starts here:
//
//   TPicture picture;
//   picture.LoadPictureFile(path);
//   for each pixel: picture.AsBitmap().PixelColor(x, y)
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "imaging/bitmap.h"
#include "imaging/color.h"
#include "imaging/file_formats.h"
#include "imaging/graphic.h"
#include "imaging/icon.h"
#include "imaging/metafile.h"

namespace grix {

class TPicture {
  public:
    TPicture();  // the first one builds the format registry
    ~TPicture();
    TPicture(TPicture&&) noexcept;
    TPicture& operator=(TPicture&&) noexcept;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Loads the file as the kind its extension names and keeps the new
    // graphic. Failures, in the order they are checked:
    //   unknown extension     EInvalidGraphic "Unknown picture file extension (.<ext>)"
    //   cannot open           EFOpenError "Cannot open file "<full path>". <reason>"
    //   the kind's own        EReadError, EInvalidGraphic, EOutOfMemory
    // On failure the picture keeps what it had.
    void LoadPictureFile(const std::string& path);

    // The graphic's size in pixels; 0 when there is none.
    [[nodiscard]] std::int32_t Width() const;
    [[nodiscard]] std::int32_t Height() const;

    // The held bitmap. Any other graphic (or none) is dropped for a new,
    // empty bitmap, which then answers kNoPixel everywhere.
    TBitmap& AsBitmap() { return bitmap_ != nullptr ? *bitmap_ : ReplaceByEmptyBitmap(); }

    [[nodiscard]] TGraphic* Graphic() const { return graphic_.get(); }

  private:
    TBitmap& ReplaceByEmptyBitmap();

    std::unique_ptr<TGraphic> graphic_;
    TBitmap* bitmap_ = nullptr;  // graphic_ when it is a bitmap
};

}  // namespace grix
