// The readers of pictures to import: each kind decodes to the luminance
// over white of the pixels the test encoded, and damaged or oversized files
// are refused with the file named.
#include <gtest/gtest.h>

#include <zlib.h>
#include <cstring>

#include <cstdlib>
#include <string>

#include "imaging/bmp_builder.h"
#include "imaging/picture_encoders.h"
#include "import/import_errors.h"
#include "import/picture_reader.h"
#include "import/picture_size_limit.h"
#include "import/luma_readers.h"
#include "support/bmp_file.h"
#include "support/test_support.h"

namespace grix {
namespace {

using test::Bytes;

TEST(LumaOverWhite, WeighsChannelsAndLaysAlphaOverWhite) {
    struct Case {
        std::uint8_t r, g, b, a, y;
    };
    const Case cases[] = {
        {255, 0, 0, 255, 76},   // 0.299 x 255 = 76.2
        {0, 255, 0, 255, 150},  // 149.7
        {0, 0, 255, 255, 29},   // 29.1
        {255, 255, 255, 255, 255}, {0, 0, 0, 255, 0},
        {0, 0, 0, 0, 255},     // fully transparent: white paper
        {0, 0, 0, 128, 127},   // 255 x 127 / 255
        {255, 0, 0, 51, 219},  // a fifth of red's 76.245 and four fifths of white
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LumaOverWhite(c.r, c.g, c.b, c.a), c.y)
            << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a);
    }
}

// Opaque and translucent colours in a pattern that differs in every row
// and column of a picture with odd sides (so every interlace pass is cut).
std::uint32_t Pattern(int x, int y) {
    static const std::uint32_t kColours[] = {0x000000FF, 0xFFFFFFFF, 0xFF000080, 0x00FF00FF,
                                             0x0000FF40, 0x80808000, 0x204060C0, 0xE0E0E0FF};
    return kColours[static_cast<unsigned>(x * 3 + y * 5) % 8];
}

std::uint8_t PatternLuma(int x, int y) {
    const std::uint32_t c = Pattern(x, y);
    return LumaOverWhite(static_cast<std::uint8_t>(c >> 24), static_cast<std::uint8_t>(c >> 16),
                         static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c));
}

// Flat 8 x 8 blocks, so that JPEG's losses stay within a level or two.
std::uint32_t Blocks(int x, int y) {
    static const std::uint32_t kColours[] = {0x102030FF, 0xF0E0D0FF, 0x8040C0FF, 0x30C060FF};
    return kColours[static_cast<unsigned>(x / 8 + 2 * (y / 8)) % 4];
}

std::uint8_t BlocksLuma(int x, int y) {
    const std::uint32_t c = Blocks(x, y);
    return LumaOverWhite(static_cast<std::uint8_t>(c >> 24), static_cast<std::uint8_t>(c >> 16),
                         static_cast<std::uint8_t>(c >> 8));
}

test::GifFrame SampleGif() {
    test::GifFrame frame;
    frame.screen_width = 13;
    frame.screen_height = 11;
    frame.left = 2;
    frame.top = 1;
    frame.width = 9;
    frame.height = 8;
    frame.palette = {0x000000, 0xFF0000, 0x808080, 0x00FF00};
    frame.index = [](int x, int y) { return (x + 2 * y) % 4; };
    frame.transparent = 3;
    frame.interlaced = true;
    return frame;
}

struct ReadCase {
    const char* name;
    std::function<Bytes()> bytes;
    int width, height;
    std::function<int(int, int)> luma;
    int tolerance;
};

class ReadPictureTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadPictureTest, GivesLuminanceOverWhite) {
    const ReadCase& c = GetParam();
    const Bytes bytes = c.bytes();
    const DecodedPicture picture = DecodePicture(bytes.data(), bytes.size(), "p");
    ASSERT_EQ(picture.luma.width, c.width);
    ASSERT_EQ(picture.luma.height, c.height);
    EXPECT_EQ(picture.source_width, c.width);
    EXPECT_EQ(picture.source_height, c.height);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x)
            ASSERT_NEAR(picture.luma.At(x, y), c.luma(x, y), c.tolerance) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReadPictureTest,
    ::testing::Values(
        ReadCase{"png", [] { return test::EncodePng(13, 11, Pattern); }, 13, 11, PatternLuma, 0},
        ReadCase{"png_interlaced", [] { return test::EncodePng(13, 11, Pattern, true); }, 13, 11,
                 PatternLuma, 0},
        ReadCase{"gif_interlaced_transparent_frame_on_screen",
                 [] { return test::EncodeGif(SampleGif()); }, 13, 11,
                 [](int x, int y) -> int {
                     const test::GifFrame f = SampleGif();
                     const int fx = x - f.left, fy = y - f.top;
                     if (fx < 0 || fy < 0 || fx >= f.width || fy >= f.height)
                         return 255;
                     const int i = f.index(fx, fy);
                     if (i == f.transparent)
                         return 255;
                     const std::uint32_t c = f.palette[static_cast<std::size_t>(i)];
                     return LumaOverWhite(c >> 16, (c >> 8) & 0xFF, c & 0xFF);
                 },
                 0},
        ReadCase{"gif_screen_smaller_than_frame",
                 [] {
                     test::GifFrame f = SampleGif();
                     f.screen_width = f.screen_height = 0;
                     f.left = f.top = 0;
                     f.transparent = -1;
                     f.interlaced = false;
                     return test::EncodeGif(f);
                 },
                 9, 8,
                 [](int x, int y) -> int {
                     static const int kLuma[] = {0, 76, 128, 150};
                     return kLuma[(x + 2 * y) % 4];
                 },
                 0},
        ReadCase{"jpeg_grey",
                 [] {
                     return test::EncodeJpeg(
                         16, 16, [](int x, int y) { return Blocks(x, y); }, test::JpegKind::Grey);
                 },
                 16, 16, [](int x, int y) -> int { return static_cast<int>(Blocks(x, y) >> 24); },
                 2},
        ReadCase{"jpeg_colour",
                 [] { return test::EncodeJpeg(16, 16, Blocks, test::JpegKind::Colour); }, 16, 16,
                 BlocksLuma, 2},
        ReadCase{"jpeg_cmyk",
                 // Stored inverted: C = M = Y = 255 and K = 128 is a mid grey.
                 [] {
                     return test::EncodeJpeg(
                         16, 8, [](int x, int) { return x < 8 ? 0xFFFFFF80u : 0xFF00FFFFu; },
                         test::JpegKind::Cmyk);
                 },
                 16, 8, [](int x, int) -> int { return x < 8 ? 128 : LumaOverWhite(255, 0, 255); },
                 2},
        ReadCase{
            "bmp",
            [] { return test::Bmp24(13, 11, [](int x, int y) { return Pattern(x, y) >> 8; }); }, 13,
            11,
            [](int x, int y) -> int {
                const std::uint32_t c = Pattern(x, y);
                return LumaOverWhite(c >> 24, (c >> 16) & 0xFF, (c >> 8) & 0xFF);
            },
            0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadPicture, DecodesJpegSmallerWhenFewerPixelsAreNeeded) {
    // 64 x 48 of flat blocks: at 1/8 each block is one pixel of its grey.
    const Bytes bytes = test::EncodeJpeg(64, 48, Blocks, test::JpegKind::Colour);
    struct Case {
        int min_width, min_height, width, height;
    };
    for (const Case c : {Case{8, 0, 8, 6}, Case{9, 0, 16, 12}, Case{0, 7, 16, 12},
                         Case{64, 48, 64, 48}, Case{100, 0, 64, 48}}) {
        ReadOptions options;
        options.min_width = c.min_width;
        options.min_height = c.min_height;
        const DecodedPicture picture = DecodePicture(bytes.data(), bytes.size(), "p", options);
        EXPECT_EQ(picture.luma.width, c.width) << c.min_width << "," << c.min_height;
        EXPECT_EQ(picture.luma.height, c.height);
        EXPECT_EQ(picture.source_width, 64);
        EXPECT_EQ(picture.source_height, 48);
        const int scale = 64 / c.width;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x)
                ASSERT_NEAR(picture.luma.At(x, y), BlocksLuma(x * scale, y * scale), 2);
        }
    }
}

// A 16 x 8 JPEG, black in its top-left 8 x 4 quarter, with an Exif block
// giving `orientation` in the byte order named ("II" or "MM").
Bytes JpegTurned(int orientation, const char* order) {
    Bytes jpeg = test::EncodeJpeg(
        16, 8, [](int x, int y) { return x < 8 && y < 4 ? 0x000000FFu : 0xFFFFFFFFu; },
        test::JpegKind::Grey);
    const bool little = order[0] == 'I';
    auto u16 = [little](int v) {
        return little ? Bytes{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}
                      : Bytes{static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
    };
    Bytes tiff = {static_cast<std::uint8_t>(order[0]), static_cast<std::uint8_t>(order[1])};
    for (const Bytes& part :
         {u16(42), u16(little ? 8 : 0), u16(little ? 0 : 8), u16(1), u16(0x0112), u16(3),
          u16(little ? 1 : 0), u16(little ? 0 : 1), u16(orientation), u16(0), u16(0), u16(0)})
        tiff.insert(tiff.end(), part.begin(), part.end());
    Bytes segment = {0xFF, 0xE1, 0, static_cast<std::uint8_t>(2 + 6 + tiff.size()), 'E', 'x', 'i',
                     'f',  0,    0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

TEST(ReadPicture, TurnsJpegsAsTheirExifSays) {
    struct Case {
        int orientation;
        const char* order;
        int width, height;
        bool black_right, black_bottom;  // where the black quarter is seen
    };
    const Case cases[] = {
        {1, "MM", 16, 8, false, false}, {2, "II", 16, 8, true, false},
        {3, "MM", 16, 8, true, true},   {4, "II", 16, 8, false, true},
        {5, "MM", 8, 16, false, false}, {6, "II", 8, 16, true, false},  // a quarter clockwise
        {7, "MM", 8, 16, true, true},   {8, "II", 8, 16, false, true},  // anticlockwise
        {9, "MM", 16, 8, false, false},  // not an orientation: as stored
    };
    for (const Case& c : cases) {
        const Bytes bytes = JpegTurned(c.orientation, c.order);
        const DecodedPicture picture = DecodePicture(bytes.data(), bytes.size(), "p");
        ASSERT_EQ(picture.luma.width, c.width) << c.orientation;
        ASSERT_EQ(picture.luma.height, c.height) << c.orientation;
        EXPECT_EQ(picture.source_width, c.width);
        for (int y = 0; y < c.height; y += c.height / 4) {
            for (int x = 0; x < c.width; x += c.width / 4) {
                const bool right = x >= c.width / 2, bottom = y >= c.height / 2;
                const bool black = right == c.black_right && bottom == c.black_bottom;
                EXPECT_NEAR(picture.luma.At(x, y), black ? 0 : 255, 8)
                    << "orientation " << c.orientation << " at " << x << "," << y;
            }
        }
    }
}

// A PNG whose header claims width x height, with correct checksums and no
// pixels.
Bytes PngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (std::uint32_t v : {width, height})
        for (int shift : {24, 16, 8, 0})
            b.push_back(static_cast<std::uint8_t>(v >> shift));
    for (std::uint8_t v : {8, 6, 0, 0, 0})  // 8-bit RGBA, not interlaced
        b.push_back(v);
    const uLong crc = crc32(0, b.data() + 12, 17);
    for (int shift : {24, 16, 8, 0})
        b.push_back(static_cast<std::uint8_t>(crc >> shift));
    return b;
}

Bytes Cut(Bytes bytes, std::size_t keep) {
    bytes.resize(keep);
    return bytes;
}

// The JPEG cut a few bytes into its scan, every header whole.
Bytes JpegCutAfterHeaders() {
    Bytes b = test::EncodeJpeg(16, 16, Blocks, test::JpegKind::Grey);
    for (std::size_t i = 0; i + 3 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == 0xDA)
            return Cut(b, i + 2 + (std::size_t{b[i + 2]} << 8 | b[i + 3]) + 4);
    }
    return {};
}

// The PNG with one bit of its image data flipped, checksums left alone.
Bytes PngWithBadIdat() {
    Bytes b = test::EncodePng(13, 11, Pattern);
    for (std::size_t i = 0; i + 8 < b.size(); ++i) {
        if (std::memcmp(b.data() + i, "IDAT", 4) == 0) {
            b[i + 6] ^= 1;
            break;
        }
    }
    return b;
}

// The JPEG's frame header patched to claim width x height.
Bytes JpegClaiming(std::uint16_t width, std::uint16_t height) {
    Bytes b = test::EncodeJpeg(16, 16, Blocks, test::JpegKind::Grey);
    for (std::size_t i = 0; i + 8 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            b[i + 5] = static_cast<std::uint8_t>(height >> 8), b[i + 6] = height & 0xFF;
            b[i + 7] = static_cast<std::uint8_t>(width >> 8), b[i + 8] = width & 0xFF;
            break;
        }
    }
    return b;
}

struct RefusalCase {
    const char* name;
    std::function<Bytes()> bytes;
    bool too_large;
    std::string message_start;  // then the rest, whatever the library says
};

class RefusePictureTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusePictureTest, NamesTheFile) {
    const RefusalCase& c = GetParam();
    const Bytes bytes = c.bytes();
    try {
        (void)DecodePicture(bytes.data(), bytes.size(), "dir/pic.x");
        FAIL() << "accepted";
    } catch (const EPictureTooLarge& e) {
        EXPECT_TRUE(c.too_large) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind(c.message_start, 0), 0u) << e.what();
    } catch (const EInvalidGraphic& e) {
        EXPECT_FALSE(c.too_large) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind(c.message_start, 0), 0u) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, RefusePictureTest,
    ::testing::Values(
        RefusalCase{"unknown",
                    [] {
                        return Bytes{'h', 'e', 'l', 'l', 'o'};
                    },
                    false, "\"dir/pic.x\" is not a PNG, JPEG, GIF or BMP picture"},
        RefusalCase{"empty", [] { return Bytes{}; }, false,
                    "\"dir/pic.x\" is not a PNG, JPEG, GIF or BMP picture"},
        RefusalCase{"png_cut", [] { return Cut(test::EncodePng(13, 11, Pattern), 60); }, false,
                    "Cannot read the PNG picture \"dir/pic.x\": "},
        RefusalCase{"png_bad_checksum",
                    [] {
                        Bytes b = PngHeaderOnly(3, 3);
                        b.back() ^= 1;
                        return b;
                    },
                    false, "Cannot read the PNG picture \"dir/pic.x\": "},
        RefusalCase{"png_too_large", [] { return PngHeaderOnly(10000, 10000); }, true,
                    "The picture \"dir/pic.x\" is too large: 10000 x 10000 pixels, more than 64 "
                    "megapixels"},
        RefusalCase{"jpeg_cut",
                    [] { return Cut(test::EncodeJpeg(16, 16, Blocks, test::JpegKind::Grey), 30); },
                    false, "Cannot read the JPEG picture \"dir/pic.x\": "},
        RefusalCase{"jpeg_too_large", [] { return JpegClaiming(9000, 8000); }, true,
                    "The picture \"dir/pic.x\" is too large: 9000 x 8000 pixels"},
        RefusalCase{"gif_cut", [] { return Cut(test::EncodeGif(SampleGif()), 40); }, false,
                    "Cannot read the GIF picture \"dir/pic.x\": the file ends too early"},
        RefusalCase{"gif_too_large",
                    [] {
                        Bytes b = test::EncodeGif(SampleGif());
                        b[6] = b[7] = b[8] = b[9] = 0xFF;  // logical screen 65535 x 65535
                        return b;
                    },
                    true, "The picture \"dir/pic.x\" is too large: 65535 x 65535 pixels"},
        RefusalCase{"gif_without_picture",
                    [] {
                        Bytes b = Cut(test::EncodeGif(SampleGif()), 13 + 12);  // header, table
                        b.push_back(0x3B);                                     // trailer
                        return b;
                    },
                    false, "Cannot read the GIF picture \"dir/pic.x\": it holds no picture"},
        RefusalCase{"bmp_cut", [] { return Cut(test::Bmp24(4, 4, Pattern), 20); }, false,
                    "Cannot read the BMP picture \"dir/pic.x\": Stream read error"},
        // Damaged files a decoder would finish with made-up pixels.
        RefusalCase{"jpeg_cut_after_headers", JpegCutAfterHeaders, false,
                    "Cannot read the JPEG picture \"dir/pic.x\": the file ends early"},
        RefusalCase{"jpeg_claims_more_than_it_holds", [] { return JpegClaiming(7000, 9000); },
                    false, "Cannot read the JPEG picture \"dir/pic.x\": the file ends early"},
        RefusalCase{"png_bad_idat_checksum", PngWithBadIdat, false,
                    "Cannot read the PNG picture \"dir/pic.x\": the checksum of its IDAT chunk is "
                    "wrong (the file is damaged)"},
        RefusalCase{"png_without_its_last_byte",
                    [] {
                        Bytes b = test::EncodePng(13, 11, Pattern);
                        return Cut(b, b.size() - 1);
                    },
                    false, "Cannot read the PNG picture \"dir/pic.x\": the file ends early"},
        RefusalCase{"bmp_header_only", [] { return Cut(test::Bmp24(4, 4, Pattern), 54); }, false,
                    "Cannot read the BMP picture \"dir/pic.x\": the file ends early"},
        RefusalCase{"bmp_rle_cut",
                    [] {
                        test::Bmp bmp;
                        bmp.width = 4;
                        bmp.height = 2;
                        bmp.bpp = 8;
                        bmp.compression = 1;  // BI_RLE8
                        bmp.table = {0x000000, 0xFFFFFF};
                        bmp.pixels = {4, 1, 0, 0};  // one row, then the file ends
                        return bmp.Encode();
                    },
                    false, "Cannot read the BMP picture \"dir/pic.x\": the file ends early"},
        RefusalCase{"bmp_rows_missing", [] { return Cut(test::Bmp24(4, 4, Pattern), 54 + 20); },
                    false, "Cannot read the BMP picture \"dir/pic.x\": the file ends early"}),
    [](const auto& info) { return std::string(info.param.name); });

// Stray bytes between two segments, common from old cameras, cost no pixel:
// the picture reads as without them.
TEST(ReadPicture, AcceptsStrayBytesBetweenJpegSegments) {
    const Bytes clean = test::EncodeJpeg(16, 16, Blocks, test::JpegKind::Grey);
    Bytes stray = clean;
    stray.insert(stray.end() - 2, {0x00, 0x11, 0x22});  // before the end marker
    const DecodedPicture expected = DecodePicture(clean.data(), clean.size(), "clean.jpg");
    const DecodedPicture read = DecodePicture(stray.data(), stray.size(), "stray.jpg");
    EXPECT_EQ(read.luma.y, expected.luma.y);
}

TEST(ReadPicture, NamesAFileThatCannotBeOpened) {
    test::TempDir dir;
    try {
        (void)ReadPicture(dir / "missing.png");
        FAIL() << "accepted";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.png\""), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace grix
