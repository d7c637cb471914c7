// Feeds arbitrary bytes to the import's JPEG decoder (TurboJPEG), at full and reduced sizes, then
// scales what it accepts to a few cells and thresholds them, as grix-cli convert does. Any failure
// must be one of our own errors naming the file; anything else (a crash, a
// sanitizer report, a leak, a stray exception) is a bug.
#include <cstddef>
#include <cstdint>

#include "fuzz/decoded_picture_check.h"
#include "import/jpeg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace grix;
    // The input's length picks the reduced size asked for, so every DCT
    // scale is reached.
    const auto min_side = static_cast<std::int32_t>(size % 64);
    return FuzzDecoder([&] {
        return ReadJpegLuma(data, size, "fuzz.jpg", min_side, min_side, kFuzzPixelLimit).image;
    });
}
