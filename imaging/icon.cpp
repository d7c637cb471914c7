#include "imaging/icon.h"

#include "core/errors.h"
#include "imaging/stream_reader.h"

namespace grix {

void TIcon::LoadFromStream(TStream& stream) {
    // Only the directory header is read: the images behind it are never
    // decoded, so keeping the whole file in memory would buy nothing.
    StreamReader in(stream);
    std::uint8_t header[6];
    in.ReadExact(header, sizeof header);
    const std::uint16_t type = LoadU16(header + 2);
    if (type != 0 && type != 1)
        throw EInvalidGraphic("Icon image is not valid");
}

}  // namespace grix
