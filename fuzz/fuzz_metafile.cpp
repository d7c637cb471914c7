// Feeds arbitrary bytes to the metafile and icon kinds. Any failure must be
// one of the reader's own errors.
#include <cstddef>
#include <cstdint>

#include "core/errors.h"
#include "imaging/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        grix::TMetafile metafile;
        metafile.LoadFromBytes(data, size);
        if (metafile.Width() < 0 || metafile.Height() < 0)
            __builtin_trap();
    } catch (const grix::Error&) {
    }
    try {
        grix::TIcon icon;
        icon.LoadFromBytes(data, size);
    } catch (const grix::Error&) {
    }
    return 0;
}
