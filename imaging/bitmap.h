// The bitmap kind: a decoded BMP picture whose pixels can be read.
#pragma once

#include <cstdint>

#include "imaging/bmp_decoder.h"
#include "imaging/color.h"
#include "imaging/graphic.h"
#include "imaging/pixel_store.h"

namespace grix {

class TBitmap final : public TGraphic {
  public:
    TBitmap() = default;

    std::int32_t Height() const override { return store_.height; }
    std::int32_t Width() const override { return store_.width; }
    void LoadFromStream(TStream& stream) override;

    // The colour of column x (0 = leftmost) and row y (0 = top row as seen),
    // or kNoPixel outside the picture and for an empty bitmap. Constant
    // time; allocates nothing.
    [[nodiscard]] TColor PixelColor(std::int32_t x, std::int32_t y) const {
        return store_.Color(x, y);
    }

    // What a pixel whose bytes the file lacks reads as: index 0 of the
    // colour table, or black.
    [[nodiscard]] TColor MissingBytesColor() const {
        return store_.layout <= PixelLayout::kIndexed8 ? store_.palette[0] : TColor{0};
    }

    [[nodiscard]] bool Empty() const { return store_.Empty(); }
    [[nodiscard]] const BmpFormat& Format() const { return format_; }

  private:
    PixelStore store_;
    BmpFormat format_;
};

}  // namespace grix
