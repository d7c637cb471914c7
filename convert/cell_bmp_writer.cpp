#include "convert/cell_bmp_writer.h"

#include <algorithm>
#include <cctype>

#include "core/errors.h"
#include "core/staged_file.h"

namespace grix {
namespace {

constexpr std::size_t kHeaderBytes = 14 + 40 + 2 * 4;

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    Put16(out, at, value);
    Put16(out, at + 2, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> CellBmpBytes(const CellGrid& cells) {
    const auto width = static_cast<std::size_t>(cells.width);
    const auto height = static_cast<std::size_t>(cells.height);
    const std::size_t stride = (width + 31) / 32 * 4;
    const std::size_t pixels = stride * height;
    std::vector<std::uint8_t> out(kHeaderBytes + pixels, 0);

    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<std::uint32_t>(out.size()));
    Put32(out, 10, kHeaderBytes);
    Put32(out, 14, 40);
    Put32(out, 18, static_cast<std::uint32_t>(width));
    Put32(out, 22, static_cast<std::uint32_t>(height));  // positive: bottom row first
    Put16(out, 26, 1);                                   // planes
    Put16(out, 28, 1);                                   // bits per pixel
    Put32(out, 34, static_cast<std::uint32_t>(pixels));
    Put32(out, 38, 2835);  // 72 dots per inch, as image editors expect
    Put32(out, 42, 2835);
    Put32(out, 46, 2);  // colours used
    // Index 0 black, index 1 white (blue, green, red, reserved).
    out[58] = out[59] = out[60] = 0xFF;

    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + kHeaderBytes + (height - 1 - y) * stride;
        for (std::size_t x = 0; x < width; ++x) {
            // Leftmost pixel in the highest bit; a set bit is white.
            if (!cells.cells[y * width + x])
                row[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        }
    }
    return out;
}

void WriteCellBmp(const std::string& path, const CellGrid& cells) {
    const std::vector<std::uint8_t> bytes = CellBmpBytes(cells);
    try {
        WriteFileStaged(path, bytes, ".grix-convert-");
    } catch (const Error& e) {
        throw EFCreateError("Cannot create file \"" + path + "\". " + e.what());
    }
}

bool HasBmpExtension(const std::string& path) {
    if (path.size() < 4)
        return false;
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".bmp";
}

}  // namespace grix
