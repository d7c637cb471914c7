// Feeds arbitrary bytes to the import's PNG decoder (libspng), then scales what it accepts
// to a few cells and thresholds them, as grix-cli convert does. Any failure
// must be one of our own errors naming the file; anything else (a crash, a
// sanitizer report, a leak, a stray exception) is a bug.
#include <cstddef>
#include <cstdint>

#include "fuzz/decoded_picture_check.h"
#include "import/luma_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace grix;
    return FuzzDecoder([&] { return ReadPngLuma(data, size, "fuzz.png", kFuzzPixelLimit); });
}
