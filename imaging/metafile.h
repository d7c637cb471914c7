// The metafile kind: enhanced metafiles (EMF) and placeable Windows
// metafiles (WMF). Grix never draws them; it checks that a file is one and
// answers its size in screen pixels.
#pragma once

#include <cstdint>

#include "imaging/graphic.h"

namespace grix {

// Screen resolution assumed for sizes: 96 logical pixels per inch.
inline constexpr std::int64_t kScreenPixelsPerInch = 96;

// The reference device a metafile without its own resolution is measured
// against: a 1920 x 1440 pixel screen of 508 x 381 mm, which is exactly
// 96 pixels per inch both ways, so both routes of the size computation agree
// with the screen resolution above.
inline constexpr std::int64_t kReferenceDevicePixelsX = 1920;
inline constexpr std::int64_t kReferenceDevicePixelsY = 1440;
inline constexpr std::int64_t kReferenceDeviceMillimetresX = 508;
inline constexpr std::int64_t kReferenceDeviceMillimetresY = 381;

class TMetafile final : public TGraphic {
  public:
    std::int32_t Height() const override { return height_; }
    std::int32_t Width() const override { return width_; }
    // "Metafile is not valid" for anything that fails the checks; "Stream
    // read error" for an enhanced metafile shorter than its header says.
    void LoadFromStream(TStream& stream) override;

    [[nodiscard]] bool Enhanced() const { return enhanced_; }

  private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    bool enhanced_ = false;
};

}  // namespace grix
