#include "builder/crossword_pack.h"

#include <limits>

#include "core/errors.h"
#include "core/file.h"
#include "core/text.h"

namespace grix {

namespace {

// Flush the pack to its file once this much has gathered, so that a long
// list of large pictures never sits in memory whole.
constexpr std::size_t kFlushBytes = 1 << 20;

std::int32_t CountAsInt32(std::size_t count) {
    // The phone reads every count as a signed 32-bit value; a larger one
    // cannot be written honestly.
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Error("Too much data for the crossword pack");
    }
    return static_cast<std::int32_t>(count);
}

}  // namespace

void WriteInt32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void WriteText(std::vector<std::uint8_t>& out, std::string_view utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    WriteInt32(out, CountAsInt32(units.size()));
    for (const char16_t unit : units) {
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
        out.push_back(static_cast<std::uint8_t>(unit));
    }
}

PackedPicture WritePicture(std::vector<std::uint8_t>& out, const std::string& path) {
    TPicture picture;
    const TBitmap& bitmap = LoadPackBitmap(picture, path);
    const std::int32_t width = bitmap.Width();
    const std::int32_t height = bitmap.Height();
    WriteInt32(out, width);
    WriteInt32(out, height);

    // Straight from the pixels: a picture of 2^28 cells, which a few dozen
    // bytes of header can claim, packs into its 32 MB of bits without a
    // byte per cell on the way.
    const std::size_t cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    out.reserve(out.size() + cells / 8 + 1);
    std::uint8_t bits = 0;
    std::size_t count = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            bits >>= 1;
            if (IsInk(bitmap.PixelColor(x, y)))
                bits |= 0x80;
            if (++count % 8 == 0) {
                out.push_back(bits);
                bits = 0;
            }
        }
    }
    out.push_back(bits);
    PackedPicture packed;
    packed.data_ends_early = bitmap.Format().data_ends_early;
    packed.missing_are_ink = MissingPixelsAreInk(bitmap);
    return packed;
}

std::int64_t WritePack(const CrosswordProject& project, const std::string& target_path,
                       const PackProgress& progress) {
    // Should anything below fail, File's destructor closes the file while
    // the error unwinds, before it reaches the caller.
    File file = File::Open(target_path, OpenMode::Replace);
    std::vector<std::uint8_t> bytes;
    WriteInt32(bytes, CountAsInt32(project.pictures.size()));
    WriteText(bytes, project.info);
    WriteText(bytes, kPackVersion);
    const std::size_t total = project.pictures.size();
    std::size_t done = 0;
    for (const PictureEntry& entry : project.pictures) {
        if (progress.reading) progress.reading(done + 1);
        const PackedPicture packed = WritePicture(bytes, entry.path);
        if (packed.data_ends_early && progress.ends_early)
            progress.ends_early(done + 1, packed.missing_are_ink);
        WriteText(bytes, entry.note);
        if (progress.packed) progress.packed(++done, total);
        if (bytes.size() >= kFlushBytes) {
            file.WriteAll(bytes);
            bytes.clear();
        }
    }
    file.WriteAll(bytes);
    const std::int64_t size = file.Size();
    file.Close();
    return size;
}

}  // namespace grix
