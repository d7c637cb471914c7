// The icon kind. Icons load and report a size, but nothing in Grix draws or
// packs them, so their images are never decoded.
#pragma once

#include <cstdint>

#include "imaging/graphic.h"

namespace grix {

// The standard icon size of the reference desktop.
inline constexpr std::int32_t kStandardIconSize = 32;

class TIcon final : public TGraphic {
  public:
    std::int32_t Height() const override { return kStandardIconSize; }
    std::int32_t Width() const override { return kStandardIconSize; }
    // Checks the 6-byte icon directory header: "Stream read error" when the
    // file is shorter, "Icon image is not valid" when its type is neither 0
    // nor 1.
    void LoadFromStream(TStream& stream) override;
};

}  // namespace grix
