// Edited cells back into their picture: only a 1-bit BMP of one ink and one
// paper colour takes them in place, and then nothing but its pixels changes.
#include <gtest/gtest.h>

#include <random>

#include "cells/pack_picture.h"
#include "convert/picture_write_back.h"
#include "core/errors.h"
#include "core/file.h"
#include "support/bmp_file.h"
#include "support/test_support.h"

namespace grix {
namespace {

struct OneBit {
    int width = 0;
    int height = 0;
    bool ink_first = true;  // colour-table entry 0 is the ink
    bool top_down = false;
    std::uint32_t ink = 0x000000;  // 0xRRGGBB
    std::uint32_t paper = 0xFFFFFF;
    int bits = 1;
};

constexpr std::size_t kPixels = 14 + 40 + 8;
// Bytes a writer may leave after the rows; they must survive.
const std::vector<std::uint8_t> kTrailer = {'t', 'a', 'i', 'l'};

// Every padding bit set, odd resolution fields and a trailer: all of it must
// survive a write-back.
std::vector<std::uint8_t> OneBitBmp(const OneBit& f, const std::vector<std::uint8_t>& cells) {
    const std::size_t stride = (static_cast<std::size_t>(f.width) + 31) / 32 * 4;
    std::vector<std::uint8_t> b(kPixels + stride * static_cast<std::size_t>(f.height), 0xFF);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    std::fill(b.begin(), b.begin() + kPixels, 0);
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size() + kTrailer.size()));
    put32(10, kPixels);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(f.width));
    put32(22, static_cast<std::uint32_t>(f.top_down ? -f.height : f.height));
    b[26] = 1, b[28] = static_cast<std::uint8_t>(f.bits);
    put32(38, 1234), put32(42, 4321), put32(46, 2);
    const auto colour = [&](std::size_t entry, std::uint32_t rgb) {
        put32(54 + entry * 4, rgb);  // little-endian 0x00RRGGBB is blue, green, red, 0
    };
    colour(f.ink_first ? 0 : 1, f.ink);
    colour(f.ink_first ? 1 : 0, f.paper);
    for (int y = 0; y < f.height; ++y) {
        const int stored = f.top_down ? y : f.height - 1 - y;
        for (int x = 0; x < f.width; ++x) {
            const bool ink = cells[static_cast<std::size_t>(y * f.width + x)] != 0;
            const auto bit = static_cast<std::uint8_t>(0x80u >> (x % 8));
            std::uint8_t& byte = b[kPixels + static_cast<std::size_t>(stored) * stride +
                                   static_cast<std::size_t>(x / 8)];
            byte = ink == !f.ink_first ? byte | bit : byte & static_cast<std::uint8_t>(~bit);
        }
    }
    b.insert(b.end(), kTrailer.begin(), kTrailer.end());
    return b;
}

CellGrid RandomCells(int width, int height, std::mt19937& random) {
    CellGrid cells{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        cells.cells.push_back(static_cast<std::uint8_t>(random() & 1));
    return cells;
}

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    WriteWholeFile(path, bytes);
}

TEST(WriteBack, ChangesOnlyThePixelsOfAOneBitPictureInEitherColourOrder) {
    test::TempDir dir;
    std::mt19937 random(24);
    const OneBit cases[] = {
        {1, 1, true},
        {7, 3, false},                              // white first: a set bit is ink
        {9, 4, true, true},                         // rows stored top row first
        {33, 5, false, false, 0x2040E0, 0xF0F0F0},  // blue ink on light grey
        {40, 2, true},
    };
    for (const OneBit& f : cases) {
        SCOPED_TRACE(testing::Message() << f.width << " x " << f.height << " ink first "
                                        << f.ink_first << " top down " << f.top_down);
        const CellGrid before = RandomCells(f.width, f.height, random);
        const CellGrid after = RandomCells(f.width, f.height, random);
        const std::vector<std::uint8_t> original = OneBitBmp(f, before.cells);
        const std::string path = dir / "picture.bmp";
        Write(path, original);
        ASSERT_EQ(CellsOfPicture(path), before);

        ASSERT_TRUE(CanWriteBackInPlace(path, after));
        WriteCellsBack(path, after);
        EXPECT_EQ(CellsOfPicture(path), after);
        // Byte for byte what a writer of `after` in the same colour order
        // would have made: headers, padding bits and trailer included.
        EXPECT_EQ(ReadWholeFile(path), OneBitBmp(f, after.cells));
    }
}

TEST(WriteBack, RefusesWhatWouldChangeMoreThanThePixels) {
    test::TempDir dir;
    const CellGrid cells{4, 3, std::vector<std::uint8_t>(12, 1)};
    const std::vector<std::uint8_t> four_bit = [] {
        OneBit f{4, 3};
        f.bits = 4;
        return OneBitBmp(f, std::vector<std::uint8_t>(12, 0));
    }();
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
        CellGrid cells;
    };
    const Case cases[] = {
        {"24-bit", test::Bmp24(4, 3, [](int, int) { return 0xFFFFFFu; }), cells},
        {"two inks", OneBitBmp({4, 3, true, false, 0x000000, 0x808080}, cells.cells), cells},
        {"two papers", OneBitBmp({4, 3, true, false, 0xF0F0F0, 0xFFFFFF}, cells.cells), cells},
        {"another size", OneBitBmp({4, 3}, cells.cells), CellGrid{3, 3, cells.cells}},
        {"4-bit", four_bit, cells},
        {"rows missing",
         [&] {
             std::vector<std::uint8_t> b = OneBitBmp({4, 3}, cells.cells);
             b.resize(kPixels + 4);
             return b;
         }(),
         cells},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir / "picture.bmp";
        Write(path, c.file);
        EXPECT_FALSE(CanWriteBackInPlace(path, c.cells));
        EXPECT_THROW(WriteCellsBack(path, c.cells), EFCreateError);
        EXPECT_EQ(ReadWholeFile(path), c.file);
    }
}

TEST(WriteBack, ProposesTheEditedCopyBesideTheSource) {
    EXPECT_EQ(EditedCopyPath("pics/cat.bmp"), "pics/cat-edited.bmp");
    EXPECT_EQ(EditedCopyPath("pics/cat.BMP"), "pics/cat-edited.bmp");
    EXPECT_EQ(EditedCopyPath("/a/b.c/cat.x.bmp"), "/a/b.c/cat.x-edited.bmp");
    EXPECT_EQ(EditedCopyPath("cat"), "cat-edited.bmp");
}

}  // namespace
}  // namespace grix
