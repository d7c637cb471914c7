// The BMP decoder on pictures built byte by byte: every accepted variant,
// the choices for pixels a file does not supply, and every refusal with its
// exact message and in its order.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "core/errors.h"
#include "imaging/bitmap.h"
#include "imaging/bmp_builder.h"
#include "support/test_support.h"

namespace grix {
namespace {

using test::Bmp;
using test::Bytes;
using test::Rows;
using Grid = std::vector<std::vector<TColor>>;

constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitfields = 3;

// Colours as the reader answers them (0x00BBGGRR).
constexpr TColor kWhite = 0x00FFFFFF;
constexpr TColor kBlack = 0x00000000;
constexpr TColor kRed = 0x000000FF;
constexpr TColor kGreen = 0x0000FF00;
constexpr TColor kBlue = 0x00FF0000;

std::unique_ptr<TBitmap> Load(const Bytes& bytes) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromBytes(bytes.data(), bytes.size());
    return bitmap;
}

// Every pixel, top row first.
Grid Pixels(const Bytes& bytes) {
    const auto bitmap = Load(bytes);
    Grid grid(static_cast<std::size_t>(bitmap->Height()));
    for (std::int32_t y = 0; y < bitmap->Height(); ++y) {
        for (std::int32_t x = 0; x < bitmap->Width(); ++x)
            grid[y].push_back(bitmap->PixelColor(x, y));
    }
    return grid;
}

Bmp Picture24(std::int32_t width, std::int32_t height,
              const std::vector<std::vector<std::uint32_t>>& stored) {
    Bmp bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.pixels = Rows(stored, 24);
    return bmp;
}

// A run-length coded picture, 8-bit codes (kRle8) or 4-bit ones (kRle4) by
// `bpp`; its codes are then set as its pixels.
Bmp RlePicture(std::uint16_t bpp, std::int32_t width, std::int32_t height,
               std::vector<std::uint32_t> table) {
    Bmp bmp;
    bmp.bpp = bpp;
    bmp.compression = bpp == 4 ? kRle4 : kRle8;
    bmp.width = width;
    bmp.height = height;
    bmp.table = std::move(table);
    return bmp;
}

TEST(BmpDecoder, EmptyStreamIsAnEmptyBitmap) {
    const auto bitmap = Load({});
    EXPECT_EQ(bitmap->Width(), 0);
    EXPECT_EQ(bitmap->Height(), 0);
    EXPECT_TRUE(bitmap->Empty());
    EXPECT_EQ(bitmap->PixelColor(0, 0), kNoPixel);
    EXPECT_EQ(bitmap->PixelColor(-1, -1), kNoPixel);
}

TEST(BmpDecoder, RowOrderFollowsTheSignOfTheHeight) {
    const std::vector<std::vector<std::uint32_t>> stored = {{0x0000FF}, {0x00FF00}, {0xFF0000}};
    // Bottom-up: row 0 is the last stored row.
    EXPECT_EQ(Pixels(Picture24(1, 3, stored).Encode()), (Grid{{kRed}, {kGreen}, {kBlue}}));
    // Top-down: row 0 is the first stored row, and the height reads positive.
    const auto top_down = Load(Picture24(1, -3, stored).Encode());
    EXPECT_EQ(top_down->Height(), 3);
    EXPECT_EQ(Pixels(Picture24(1, -3, stored).Encode()), (Grid{{kBlue}, {kGreen}, {kRed}}));
}

TEST(BmpDecoder, TrueColourPixelsKeepTheirBytes) {
    // Stored as the bytes 10 20 30: blue 10, green 20, red 30.
    EXPECT_EQ(Pixels(Picture24(1, 1, {{0x302010}}).Encode()), (Grid{{0x00102030}}));

    Bmp bmp;  // 32 bits: the fourth byte is ignored
    bmp.bpp = 32;
    bmp.width = 2;
    bmp.pixels = Rows({{0xAA302010, 0xFF000000}}, 32);
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{0x00102030, kBlack}}));
}

TEST(BmpDecoder, OneBitPicturesAnswerTheirTableColours) {
    Bmp bmp;
    bmp.bpp = 1;
    bmp.width = 10;  // more than a byte: the second byte's top bits follow on
    bmp.table = {0xFFFFFF, 0x000000};
    bmp.pixels = Rows({{0, 1, 1, 0, 0, 0, 0, 1, 1, 0}}, 1);
    const Grid white_first = Pixels(bmp.Encode());
    const TColor w = kWhite, k = kBlack;
    EXPECT_EQ(white_first, (Grid{{w, k, k, w, w, w, w, k, k, w}}));

    bmp.table = {0x000000, 0xFFFFFF};  // reversed table, same indices
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{k, w, w, k, k, k, k, w, w, k}}));
}

TEST(BmpDecoder, FourAndEightBitIndices) {
    Bmp four;
    four.bpp = 4;
    four.width = 3;
    four.table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    four.pixels = Rows({{3, 1, 2}}, 4);
    EXPECT_EQ(Pixels(four.Encode()), (Grid{{kBlue, kRed, kGreen}}));

    Bmp eight;
    eight.bpp = 8;
    eight.width = 2;
    eight.table.assign(256, 0);
    eight.table[200] = 0x123456;
    eight.pixels = Rows({{200, 0}}, 8);
    EXPECT_EQ(Pixels(eight.Encode()), (Grid{{0x00563412, kBlack}}));
}

TEST(BmpDecoder, AnIndexPastTheTableReadsBlack) {
    Bmp bmp;
    bmp.bpp = 8;
    bmp.width = 3;
    bmp.clr_used = 2;
    bmp.table = {0xFFFFFF, 0xFF0000};
    bmp.pixels = Rows({{1, 2, 255}}, 8);
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{kRed, kBlack, kBlack}}));
}

TEST(BmpDecoder, CoreHeaderReadsThreeByteTableEntries) {
    Bmp bmp;
    bmp.header_size = 12;
    bmp.bpp = 8;
    bmp.width = 3;
    bmp.height = 2;
    for (std::uint32_t i = 0; i < 256; ++i)
        bmp.table.push_back(i << 16 | (255 - i) << 8 | i / 2);
    bmp.pixels = Rows({{0, 1, 2}, {128, 254, 255}}, 8);  // bottom row first, always
    auto colour = [](std::uint32_t i) { return RgbColor(i, 255 - i, i / 2); };
    EXPECT_EQ(Pixels(bmp.Encode()),
              (Grid{{colour(128), colour(254), colour(255)}, {colour(0), colour(1), colour(2)}}));

    Bmp one;  // 1 bit: two 3-byte entries
    one.header_size = 12;
    one.bpp = 1;
    one.width = 2;
    one.table = {0x00FF00, 0x0000FF};
    one.pixels = Rows({{1, 0}}, 1);
    EXPECT_EQ(Pixels(one.Encode()), (Grid{{kBlue, kGreen}}));
}

TEST(BmpDecoder, ATableInATrueColourPictureIsPassedOver) {
    Bmp plain = Picture24(2, 1, {{0x102030, 0xFFFFFF}});
    Bmp with_table = plain;
    with_table.clr_used = 16;
    with_table.table.assign(16, 0xABCDEF);  // 64 bytes before the pixels
    EXPECT_EQ(Pixels(with_table.Encode()), Pixels(plain.Encode()));
    EXPECT_EQ(Pixels(plain.Encode()), (Grid{{0x00302010, kWhite}}));
}

// Five-bit channels widen by shifting alone: 31 reads 248, and 28 reads 224,
// which the ink test still counts as ink.
TEST(BmpDecoder, SixteenBitFiveFiveFive) {
    Bmp bmp;
    bmp.bpp = 16;
    bmp.width = 4;
    bmp.pixels = Rows({{0x7FFF, 0x7C00, 0x001C, 0x8000 | (1 << 10) | (2 << 5) | 3}}, 16);
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{RgbColor(248, 248, 248), RgbColor(248, 0, 0),
                                           RgbColor(0, 0, 224), RgbColor(8, 16, 24)}}));
}

TEST(BmpDecoder, SixteenBitFieldsAfterAFortyByteHeader) {
    Bmp bmp;
    bmp.bpp = 16;
    bmp.compression = kBitfields;
    bmp.width = 3;
    bmp.masks = {0xF800, 0x07E0, 0x001F};
    bmp.pixels = Rows({{0xFFFF, 0x07E0, (28 << 11) | (1 << 5) | 1}}, 16);
    EXPECT_EQ(Pixels(bmp.Encode()),
              (Grid{{RgbColor(248, 252, 248), RgbColor(0, 252, 0), RgbColor(224, 4, 8)}}));
}

TEST(BmpDecoder, ThirtyTwoBitFieldsKeepTheTopEightBitsOfWideChannels) {
    Bmp bmp;  // 10-bit channels in a 108-byte header
    bmp.header_size = 108;
    bmp.bpp = 32;
    bmp.compression = kBitfields;
    bmp.width = 2;
    bmp.height = -1;
    bmp.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
    bmp.pixels = Rows({{(0x3FFu << 20) | (0x200 << 10) | 0x003, (0x0FFu << 20)}}, 32);
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{RgbColor(255, 128, 0), RgbColor(63, 0, 0)}}));

    bmp.header_size = 124;  // the same masks from the longest header
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{RgbColor(255, 128, 0), RgbColor(63, 0, 0)}}));

    bmp.header_size = 40;  // and from the 12 bytes after the short one
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{RgbColor(255, 128, 0), RgbColor(63, 0, 0)}}));
}

TEST(BmpDecoder, OtherLongerHeadersAreReadWhole) {
    for (std::uint32_t size : {52u, 56u, 64u, 200u}) {
        Bmp bmp = Picture24(2, 1, {{0x0000FF, 0x00FF00}});
        bmp.header_size = size;
        bmp.masks = {0, 0, 0};
        EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{kBlue, kGreen}})) << size;
    }
    // 16-bit fields in a 52-byte header take their masks from it.
    Bmp bmp;
    bmp.header_size = 52;
    bmp.bpp = 16;
    bmp.compression = kBitfields;
    bmp.masks = {0x000F, 0x00F0, 0x0F00};
    bmp.pixels = Rows({{0x0F81}}, 16);
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{RgbColor(16, 128, 240)}}));
}

TEST(BmpDecoder, Rle8) {
    Bmp bmp = RlePicture(8, 6, 3, {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF});
    bmp.pixels = {
        3, 1, 0, 3, 2, 3, 1, 0,  // bottom row: a run of three, then an absolute run of 3 (padded)
        0, 0,                    // end of line
        2, 3, 0, 2, 2, 1,        // middle row: a run of two, a delta of 2 right and 1 up
        1, 1, 0, 0,              // top row from column 4: one pixel, end of line
        0, 1,                    // end of picture
        9, 9,                    // ignored
    };
    const TColor w = kWhite, r = kRed, g = kGreen, b = kBlue;
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{w, w, w, w, r, w},  // after the delta
                                          {b, b, w, w, w, w},
                                          {r, r, r, g, b, r}}));
}

TEST(BmpDecoder, Rle4AlternatesNibbles) {
    Bmp bmp = RlePicture(4, 8, 2, {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF});
    bmp.pixels = {
        5, 0x12, 0,    3,    0x32, 0x10,
        0, 0,                          // run of 5 alternating 1,2; absolute 3,2,1 (2 bytes, no pad)
        0, 5,    0x12, 0x31, 0x20, 0,  // absolute run of 5: 3 bytes, padded to 4
        0, 1,
    };
    bmp.size_image = static_cast<std::uint32_t>(bmp.pixels.size());
    const TColor w = kWhite, r = kRed, g = kGreen, b = kBlue;
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{r, g, b, r, g, w, w, w}, {r, g, r, g, r, b, g, r}}));
}

// Without biSizeImage the codes are read only as far as the uncompressed
// rows would reach (row length x height), as the reader computes the size.
TEST(BmpDecoder, RleWithoutSizeImageReadsAtMostTheUncompressedSize) {
    // Rows of 4 bytes: 8 bytes of codes are read.
    Bmp bmp = RlePicture(8, 1, 2, {0xFFFFFF, 0x000000});
    bmp.pixels = {1, 1, 0, 0, 0, 2, 0, 0, 1, 1, 0, 1};  // black, end of line, empty delta, black
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{kWhite}, {kBlack}}));
    bmp.size_image = 12;
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{kBlack}, {kBlack}}));
}

TEST(BmpDecoder, RleRunsPastTheRowEndAreDropped) {
    Bmp bmp = RlePicture(8, 3, 2, {0xFFFFFF, 0x000000});
    bmp.pixels = {200, 1, 1, 1, 0, 1};  // 200 black pixels, then one more on the same row
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{kWhite, kWhite, kWhite}, {kBlack, kBlack, kBlack}}));
}

TEST(BmpDecoder, RleCodesThatEndEarlyLeaveIndexZero) {
    Bmp bmp = RlePicture(8, 4, 2, {0x00FF00, 0x000000});
    const Bytes codes = {2, 1, 0, 4, 1, 1};  // the absolute run of 4 stops after two pixels
    bmp.pixels = codes;
    const TColor g = kGreen, k = kBlack;
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{g, g, g, g}, {k, k, k, k}}));

    // biSizeImage limits the codes read, even when the file has more.
    bmp.pixels = {4, 1, 0, 0, 4, 1, 0, 1};
    bmp.size_image = 4;
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{g, g, g, g}, {k, k, k, k}}));
}

TEST(BmpDecoder, RleTopDownPicturesKeepTheirRowOrder) {
    Bmp bmp = RlePicture(8, 2, -2, {0xFFFFFF, 0x000000});
    bmp.pixels = {2, 1, 0, 0, 0, 1};
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{kBlack, kBlack}, {kWhite, kWhite}}));
}

TEST(BmpDecoder, AFileThatEndsEarlyLoadsWithZeroBytesForTheRest) {
    Bmp indexed;
    indexed.bpp = 8;
    indexed.width = 4;
    indexed.height = 2;
    indexed.table = {0x00FF00, 0x000000};
    indexed.pixels = {1, 1, 1};  // bottom row, short by one pixel; the top row missing
    const TColor g = kGreen, k = kBlack;
    EXPECT_EQ(Pixels(indexed.Encode()), (Grid{{g, g, g, g}, {k, k, k, g}}));

    Bmp rgb = Picture24(2, 1, {{0xFFFFFF, 0xFFFFFF}});
    rgb.pixels.resize(4);  // the second pixel has one of its three bytes
    const Grid partial = Pixels(rgb.Encode());
    EXPECT_EQ(partial[0][0], kWhite);
    EXPECT_EQ(partial[0][1], RgbColor(0, 0, 255));  // blue byte present, green and red missing
}

TEST(BmpDecoder, SizeImageLimitsThePixelBytesRead) {
    Bmp bmp = Picture24(1, 2, {{0xFFFFFF}, {0xFFFFFF}});
    bmp.size_image = 4;  // only the bottom row
    EXPECT_EQ(Pixels(bmp.Encode()), (Grid{{kBlack}, {kWhite}}));
}

TEST(BmpDecoder, PixelDataStartAtBfOffBitsPastAGap) {
    Bmp bmp;
    bmp.bpp = 1;
    bmp.width = 8;
    bmp.table = {0xFFFFFF, 0x000000};
    bmp.gap = {0xFF, 0xFF, 0xFF, 0xFF};  // would read as a black row
    bmp.pixels = {0x81, 0, 0, 0};
    const TColor w = kWhite, k = kBlack;
    const Grid expected = {{k, w, w, w, w, w, w, k}};
    EXPECT_EQ(Pixels(bmp.Encode()), expected);

    // An offset inside the headers or the table is not trusted: the data
    // follow the table.
    Bmp no_gap = bmp;
    no_gap.gap.clear();
    for (std::uint32_t off : {0u, 14u, 60u}) {
        no_gap.off_bits = off;
        EXPECT_EQ(Pixels(no_gap.Encode()), expected) << off;
    }
    // Nor is one at or past the end of the file.
    const Bytes file = no_gap.Encode();
    for (auto off : {file.size(), file.size() + 100, std::size_t{0xFFFFFFFF}}) {
        no_gap.off_bits = static_cast<std::uint32_t>(off);
        EXPECT_EQ(Pixels(no_gap.Encode()), expected) << off;
    }
}

TEST(BmpDecoder, ReadsOutsideThePictureAnswerNoPixel) {
    const auto bitmap = Load(Picture24(2, 3, {{0, 0}, {0, 0}, {0, 0}}).Encode());
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    const std::pair<std::int32_t, std::int32_t> outside[] = {
        {2, 0}, {0, 3}, {-1, 0}, {0, -1}, {kMin, 0}, {0, kMin}, {kMax, kMax}, {2, 3}};
    for (const auto& [x, y] : outside)
        EXPECT_EQ(bitmap->PixelColor(x, y), kNoPixel) << x << "," << y;
    EXPECT_EQ(bitmap->PixelColor(1, 2), kBlack);
}

// Refusals, each with the condition alone wrong.
TEST(BmpDecoder, RefusesWhatItCannotHold) {
    const std::string kNotValid = kBitmapNotValid;
    struct Case {
        const char* name;
        Bmp bmp;
    };
    auto with = [](auto change) {
        Bmp bmp;
        bmp.width = 2;
        bmp.pixels = Rows({{0, 0}}, 24);
        change(bmp);
        return bmp;
    };
    const Case cases[] = {
        {"signature", with([](Bmp& b) { b.type = 0x4142; })},
        {"planes 0", with([](Bmp& b) { b.planes = 0; })},
        {"planes 2 (core)", with([](Bmp& b) {
             b.header_size = 12;
             b.planes = 2;
         })},
        {"header 16", with([](Bmp& b) { b.header_size = 16; })},
        {"header 39", with([](Bmp& b) { b.header_size = 39; })},
        {"header 0", with([](Bmp& b) { b.header_size = 0; })},
        {"table of 257", with([](Bmp& b) {
             b.clr_used = 257;
             b.table.assign(257, 0);
         })},
        {"2 bits", with([](Bmp& b) { b.bpp = 2; })},
        {"0 bits", with([](Bmp& b) { b.bpp = 0; })},
        {"24 bits rle8", with([](Bmp& b) { b.compression = kRle8; })},
        {"4 bits rle8", with([](Bmp& b) {
             b.bpp = 4;
             b.compression = kRle8;
             b.table = {0};
         })},
        {"8 bits rle4", with([](Bmp& b) {
             b.bpp = 8;
             b.compression = kRle4;
             b.table = {0};
         })},
        {"24 bits fields", with([](Bmp& b) { b.compression = kBitfields; })},
        {"8 bits fields", with([](Bmp& b) {
             b.bpp = 8;
             b.compression = kBitfields;
             b.table = {0};
         })},
        {"jpeg", with([](Bmp& b) { b.compression = 4; })},
        {"png", with([](Bmp& b) { b.compression = 5; })},
        {"fields without all masks", with([](Bmp& b) {
             b.header_size = 48;
             b.bpp = 32;
             b.compression = kBitfields;
             b.masks = {0xFF0000, 0xFF00};
         })},
        {"width 0", with([](Bmp& b) { b.width = 0; })},
        {"width negative", with([](Bmp& b) { b.width = -2; })},
        {"height 0", with([](Bmp& b) { b.height = 0; })},
        {"height most negative",
         with([](Bmp& b) { b.height = std::numeric_limits<std::int32_t>::min(); })},
        {"core width 0", with([](Bmp& b) {
             b.header_size = 12;
             b.width = 0;
         })},
        {"core height 0", with([](Bmp& b) {
             b.header_size = 12;
             b.height = 0;
         })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW_MSG(Load(c.bmp.Encode()), EInvalidGraphic, kNotValid);
    }
}

TEST(BmpDecoder, PicturesPastThePixelLimitAreOutOfMemory) {
    // Tiny files whose headers claim huge pictures: refused before any
    // allocation, whatever the pixel format.
    const std::pair<std::int32_t, std::int32_t> sizes[] = {
        {16385, 16384},
        {std::numeric_limits<std::int32_t>::max(), 2},
        {1, -(1 << 28) - 1},
        {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max()}};
    for (const auto& [w, h] : sizes) {
        for (std::uint32_t compression : {0u, kRle8}) {
            Bmp bmp;
            bmp.bpp = 8;
            bmp.compression = compression;
            bmp.clr_used = 1;
            bmp.table = {0};
            bmp.width = w;
            bmp.height = h;
            bmp.pixels = {1, 2, 3, 4};
            EXPECT_THROW_MSG(Load(bmp.Encode()), EOutOfMemory, kOutOfMemory);
        }
    }
    // Exactly at the limit is fine: the store holds only what the file has.
    Bmp bmp;
    bmp.bpp = 1;
    bmp.width = 16384;
    bmp.height = 16384;
    bmp.table = {0xFFFFFF, 0x000000};
    bmp.pixels = {0x80};
    const auto bitmap = Load(bmp.Encode());
    EXPECT_EQ(bitmap->PixelColor(0, 16383), kBlack);
    EXPECT_EQ(bitmap->PixelColor(1, 16383), kWhite);
    EXPECT_EQ(bitmap->PixelColor(16383, 0), kWhite);
}

TEST(BmpDecoder, ShortFilesAreStreamReadErrors) {
    Bmp bmp;
    bmp.bpp = 4;
    bmp.compression = kBitfields;  // refused later, but never reached
    bmp.table.assign(16, 0);
    const Bytes whole = bmp.Encode();
    // Ending inside the file header (1 to 13 bytes), the picture header or
    // the colour table.
    for (std::size_t size : {1u, 13u, 14u, 17u, 18u, 53u, 54u, 54u + 63u}) {
        SCOPED_TRACE(size);
        const Bytes cut(whole.begin(), whole.begin() + size);
        EXPECT_THROW_MSG(Load(cut), EReadError, kStreamReadError);
    }
    // Ending inside the masks.
    Bmp fields;
    fields.bpp = 16;
    fields.compression = kBitfields;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    const Bytes with_masks = fields.Encode();
    EXPECT_THROW_MSG(Load(Bytes(with_masks.begin(), with_masks.begin() + 54 + 11)), EReadError,
                     kStreamReadError);
    // A header length past the end of the file ends inside the header.
    Bmp huge_header;
    huge_header.header_size = 40;
    Bytes file = huge_header.Encode();
    file[14 + 3] = 0x7F;
    EXPECT_THROW_MSG(Load(file), EReadError, kStreamReadError);
    file[14 + 3] = 0xFF;
    EXPECT_THROW_MSG(Load(file), EReadError, kStreamReadError);
}

// Checks run in this order: file header, picture header, planes, masks,
// colour table, then the picture itself.
TEST(BmpDecoder, ChecksRunInTheirOrder) {
    auto cut = [](const Bmp& bmp, std::size_t drop) {
        Bytes bytes = bmp.Encode();
        bytes.resize(bytes.size() - drop);
        return bytes;
    };
    Bmp bad_planes_short_table;
    bad_planes_short_table.bpp = 8;
    bad_planes_short_table.planes = 3;
    bad_planes_short_table.table.assign(256, 0);
    EXPECT_THROW_MSG(Load(cut(bad_planes_short_table, 10)), EInvalidGraphic, kBitmapNotValid);

    Bmp bad_format_short_table = bad_planes_short_table;
    bad_format_short_table.planes = 1;
    bad_format_short_table.compression = kRle4;  // 8 bits RLE4: refused, but after the table
    EXPECT_THROW_MSG(Load(cut(bad_format_short_table, 10)), EReadError, kStreamReadError);

    Bmp huge_short_table = bad_format_short_table;
    huge_short_table.compression = 0;
    huge_short_table.width = 1 << 20;
    huge_short_table.height = 1 << 20;
    EXPECT_THROW_MSG(Load(cut(huge_short_table, 10)), EReadError, kStreamReadError);
    EXPECT_THROW_MSG(Load(huge_short_table.Encode()), EOutOfMemory, kOutOfMemory);

    Bmp bad_signature_short_header;
    bad_signature_short_header.type = 0;
    EXPECT_THROW_MSG(Load(cut(bad_signature_short_header, 30)), EInvalidGraphic, kBitmapNotValid);
}

TEST(BmpDecoder, AFailedLoadKeepsThePreviousImage) {
    TBitmap bitmap;
    const Bytes good = Picture24(1, 1, {{0x302010}}).Encode();
    bitmap.LoadFromBytes(good.data(), good.size());
    Bytes bad = good;
    bad[0] = 'X';
    EXPECT_THROW(bitmap.LoadFromBytes(bad.data(), bad.size()), EInvalidGraphic);
    EXPECT_EQ(bitmap.Width(), 1);
    EXPECT_EQ(bitmap.PixelColor(0, 0), 0x00102030u);
}

}  // namespace
}  // namespace grix
