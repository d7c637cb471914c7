// Feeds arbitrary bytes to the import's PNG decoder (libspng), then scales what it accepts
// to a few cells and thresholds them, as grix-cli convert does. Any failure
// must be one of our own errors naming the file; anything else (a crash, a
// sanitizer report, a leak, a stray exception) is a bug.
#include <cstddef>
#include <cstdint>

#include "convert/cell_scaling.h"
#include "convert/cell_threshold.h"
#include "core/errors.h"
#include "imaging/png_reader.h"

namespace {

// Smaller than the import's limit, so that no single input takes seconds;
// the limit's own check is the same code either way.
constexpr std::int64_t kPixelLimit = std::int64_t{1} << 22;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace grix;
    try {
        const LumaImage image = ReadPngLuma(data, size, "fuzz.png", kPixelLimit);
        if (image.width <= 0 || image.height <= 0 ||
            image.y.size() != static_cast<std::size_t>(image.width) * image.height) {
            __builtin_trap();
        }
        const CellLuma cells = AreaAverage(image, 7, 5);
        for (const float y : cells.y) {
            if (!(y >= 0 && y <= 255.01f))
                __builtin_trap();
        }
        (void)ThresholdCells(cells, OtsuThreshold(cells), false);
    } catch (const Error&) {
    }
    return 0;
}
