#include "imaging/bitmap.h"

#include <utility>

namespace grix {

void TBitmap::LoadFromStream(TStream& stream) {
    BmpFormat format;
    PixelStore decoded = DecodeBmp(stream, &format);
    store_ = std::move(decoded);
    format_ = format;
}

}  // namespace grix
