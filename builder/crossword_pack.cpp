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

void WritePicture(std::vector<std::uint8_t>& out, const std::string& path) {
    const CellGrid grid = CellsOfPicture(path);
    WriteInt32(out, grid.width);
    WriteInt32(out, grid.height);

    out.reserve(out.size() + grid.cells.size() / 8 + 1);
    std::uint8_t bits = 0;
    std::size_t count = 0;
    for (const std::uint8_t filled : grid.cells) {
        bits >>= 1;
        if (filled != 0)
            bits |= 0x80;
        if (++count % 8 == 0) {
            out.push_back(bits);
            bits = 0;
        }
    }
    out.push_back(bits);
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
        WritePicture(bytes, entry.path);
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
