// The crossword pack, byte for byte: primitives, picture blocks, the ink
// test and the whole file, and what the writer leaves when it fails.
#include "builder/crossword_pack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>

#include "core/errors.h"
#include "core/file.h"
#include "imaging/bmp_builder.h"
#include "support/test_support.h"

namespace grix {
namespace {

using test::Bmp;
using test::Bytes;
using test::TempDir;

Bytes Int32(std::int32_t value) {
    Bytes out;
    WriteInt32(out, value);
    return out;
}

Bytes Text(std::string_view utf8) {
    Bytes out;
    WriteText(out, utf8);
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A 24-bit picture of black (ink) and white cells, drawn top row first.
Bytes InkPicture(const std::vector<std::string>& rows, bool top_down = false) {
    Bmp bmp;
    bmp.width = static_cast<std::int32_t>(rows.at(0).size());
    bmp.height = static_cast<std::int32_t>(rows.size()) * (top_down ? -1 : 1);
    std::vector<std::vector<std::uint32_t>> stored;
    for (const std::string& row : rows) {
        std::vector<std::uint32_t> values;
        for (char c : row)
            values.push_back(c == '#' ? 0x000000 : 0xFFFFFF);
        stored.push_back(values);
    }
    if (!top_down)
        std::reverse(stored.begin(), stored.end());
    bmp.pixels = test::Rows(stored, 24);
    return bmp.Encode();
}

Bytes PictureBlock(const Bytes& file, const char* name = "p.bmp") {
    TempDir dir;
    test::WriteBytes(dir / name, file);
    Bytes out;
    WritePicture(out, dir / name);
    return out;
}

TEST(CrosswordPack, Int32IsBigEndianTwosComplement) {
    EXPECT_EQ(Int32(0), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Int32(1), (Bytes{0, 0, 0, 1}));
    EXPECT_EQ(Int32(0x12345678), (Bytes{0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(Int32(-1), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Int32(std::numeric_limits<std::int32_t>::min()), (Bytes{0x80, 0, 0, 0}));
}

TEST(CrosswordPack, TextIsACountOfUtf16UnitsThenTheUnits) {
    EXPECT_EQ(Text(""), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Text("ab"), (Bytes{0, 0, 0, 2, 0x00, 0x61, 0x00, 0x62}));
    EXPECT_EQ(Text("1.0.0"), (Bytes{0, 0, 0, 5, 0, 0x31, 0, 0x2E, 0, 0x30, 0, 0x2E, 0, 0x30}));
    // Cyrillic: one unit per letter, whatever its UTF-8 length.
    EXPECT_EQ(Text("\xD0\x9F\xD1\x8F"), (Bytes{0, 0, 0, 2, 0x04, 0x1F, 0x04, 0x4F}));
    // Outside the Basic Multilingual Plane: a surrogate pair, counted twice.
    EXPECT_EQ(Text("\xF0\x9F\x98\x80"), (Bytes{0, 0, 0, 2, 0xD8, 0x3D, 0xDE, 0x00}));
}

TEST(CrosswordPack, InkTest) {
    const std::pair<TColor, bool> cases[] = {
        {RgbColor(225, 225, 225), false},
        {RgbColor(224, 255, 255), true},
        {RgbColor(255, 224, 255), true},
        {RgbColor(255, 255, 224), true},
        {RgbColor(255, 255, 255), false},
        {RgbColor(0, 0, 0), true},
        {RgbColor(255, 0, 0), true},  // saturated colours are ink
        {RgbColor(0, 0, 255), true},
        {RgbColor(240, 248, 248), false},
        {kNoPixel, false},                              // a read outside the picture
        {0xFF000000 | RgbColor(225, 225, 225), false},  // the top byte plays no part
    };
    for (const auto& [colour, ink] : cases)
        EXPECT_EQ(IsInk(colour), ink) << std::hex << colour;
}

TEST(CrosswordPack, NinePixelsTakeTwoBytesEarliestPixelInBitZero) {
    const Bytes block = PictureBlock(InkPicture({"#.#", "...", ".##"}));
    // Pixels 0, 2 and 7 in bits 0, 2 and 7 of the first byte; pixel 8 in
    // bit 7 of the second.
    EXPECT_EQ(block, Concat({Int32(3), Int32(3), {0x85, 0x80}}));
}

TEST(CrosswordPack, RowsRunOnWithoutPadding) {
    // 2 x 4: eight pixels fill one byte exactly, and an extra 0x00 follows.
    EXPECT_EQ(PictureBlock(InkPicture({
                  "#.",
                  ".#",
                  "##",
                  "..",
              })),
              Concat({Int32(2), Int32(4), {0x39, 0x00}}));
    // 5 x 2: ten pixels; the last two sit in the top bits of the last byte.
    EXPECT_EQ(PictureBlock(InkPicture({"#####", "....#"})),
              Concat({Int32(5), Int32(2), {0x1F, 0x80}}));
    EXPECT_EQ(PictureBlock(InkPicture({"#####", "...#."})),
              Concat({Int32(5), Int32(2), {0x1F, 0x40}}));
}

TEST(CrosswordPack, RowsAreVisitedFromTheTopAsSeen) {
    const std::vector<std::string> rows = {"#..", "...", "..#"};
    EXPECT_EQ(PictureBlock(InkPicture(rows, false)), PictureBlock(InkPicture(rows, true)));
    EXPECT_EQ(PictureBlock(InkPicture(rows)), Concat({Int32(3), Int32(3), {0x01, 0x80}}));
}

TEST(CrosswordPack, AnEmptyPictureIsASingleZeroByte) {
    EXPECT_EQ(PictureBlock({}), Concat({Int32(0), Int32(0), {0x00}}));
}

TEST(CrosswordPack, ColoursAreJudgedByTheInkTest) {
    Bmp bmp;
    bmp.width = 8;
    bmp.pixels = test::Rows(
        {{0xE1E1E1, 0xE0FFFF, 0xFFE0FF, 0xFFFFE0, 0xFFFFFF, 0x000000, 0xFF0000, 0xF0F8F8}}, 24);
    EXPECT_EQ(PictureBlock(bmp.Encode()), Concat({Int32(8), Int32(1), {0x6E, 0x00}}));

    // A 5-bit channel of 28 reads 224 (ink); 29 reads 232 (empty).
    Bmp sixteen;
    sixteen.bpp = 16;
    sixteen.width = 2;
    sixteen.pixels = test::Rows({{(0x7FFF & ~0x1F) | 28, (0x7FFF & ~0x1F) | 29}}, 16);
    // Two pixels: the first in bit 6 of the last byte, the second in bit 7.
    EXPECT_EQ(PictureBlock(sixteen.Encode()), Concat({Int32(2), Int32(1), {0x40}}));
}

TEST(CrosswordPack, IconsAndMetafilesAreRefused) {
    Bytes icon = {0, 0, 1, 0, 1, 0};
    EXPECT_THROW_MSG(PictureBlock(icon, "a.ico"), EInvalidGraphic, kBitmapNotValid);
    // A minimal placeable metafile: header, metafile header, end record.
    Bytes wmf;
    test::PutU32(wmf, 0x9AC6CDD7);
    for (std::uint16_t v : {0, 0, 0, 100, 100, 96})
        test::PutU16(wmf, v);
    test::PutU32(wmf, 0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        checksum ^= static_cast<std::uint16_t>(wmf[i] | wmf[i + 1] << 8);
    test::PutU16(wmf, checksum);
    for (std::uint16_t v : {1, 9, 0x300})
        test::PutU16(wmf, v);
    test::PutU32(wmf, 12);
    test::PutU16(wmf, 0);
    test::PutU32(wmf, 3);
    test::PutU16(wmf, 0);
    test::PutU32(wmf, 3);
    test::PutU16(wmf, 0);
    TempDir dir;
    test::WriteBytes(dir / "a.wmf", wmf);
    EXPECT_EQ(PictureSizeText(dir / "a.wmf"), "100 * 100");  // it loads as a metafile ...
    Bytes sink;
    EXPECT_THROW_MSG(WritePicture(sink, dir / "a.wmf"), EInvalidGraphic,
                     kBitmapNotValid);  // ... but gives no cells
}

TEST(CrosswordPack, PictureSizeText) {
    TempDir dir;
    test::WriteBytes(dir / "a.bmp", InkPicture({"###", "..."}));
    test::WriteBytes(dir / "b.bmp", {});
    test::WriteBytes(dir / "c.ico", {0, 0, 1, 0, 1, 0});
    EXPECT_EQ(PictureSizeText(dir / "a.bmp"), "3 * 2");
    EXPECT_EQ(PictureSizeText(dir / "b.bmp"), "0 * 0");
    EXPECT_EQ(PictureSizeText(dir / "c.ico"), "32 * 32");
    EXPECT_THROW_MSG(PictureSizeText(dir / "d.gif"), EInvalidGraphic,
                     "Unknown picture file extension (.gif)");
}

// ---- The whole pack ----------------------------------------------------------

const Bytes kVersion = {0, 0, 0, 5, 0, 0x31, 0, 0x2E, 0, 0x30, 0, 0x2E, 0, 0x30};

TEST(CrosswordPack, SingleEntryWithEmptyInformation) {
    TempDir dir;
    test::WriteBytes(dir / "p.bmp", InkPicture({"#.#", "...", ".##"}));
    CrosswordProject project;
    project.pictures.push_back({1, dir / "p.bmp", "3 * 3", ""});
    const std::string target = dir / "cfg.dat";
    const std::int64_t size = WritePack(project, target);
    const Bytes expected = Concat(
        {{0, 0, 0, 1}, {0, 0, 0, 0}, kVersion, Int32(3), Int32(3), {0x85, 0x80}, {0, 0, 0, 0}});
    EXPECT_EQ(test::ReadBytes(target), expected);
    EXPECT_EQ(size, static_cast<std::int64_t>(expected.size()));
}

TEST(CrosswordPack, EntriesInListOrderWithTheirNotes) {
    TempDir dir;
    test::WriteBytes(dir / "a.bmp", InkPicture({"#"}));
    test::WriteBytes(dir / "b.bmp", InkPicture({".", "#"}));
    test::WriteBytes(dir / "empty.bmp", {});
    CrosswordProject project;
    project.info = "ab";
    project.pictures = {{1, dir / "b.bmp", "", "\xD0\x9F"},  // П
                        {2, dir / "a.bmp", "", "x"},
                        {3, dir / "empty.bmp", "", ""}};
    const std::string target = dir / "cfg.dat";
    test::WriteBytes(target, Bytes(500, 0xEE));  // an older, longer pack is replaced
    EXPECT_EQ(WritePack(project, target), 69);
    EXPECT_EQ(test::ReadBytes(target), Concat({Int32(3),
                                               {0, 0, 0, 2, 0, 0x61, 0, 0x62},
                                               kVersion,
                                               Int32(1),
                                               Int32(2),
                                               {0x80},
                                               {0, 0, 0, 1, 0x04, 0x1F},
                                               Int32(1),
                                               Int32(1),
                                               {0x80},
                                               {0, 0, 0, 1, 0, 0x78},
                                               Int32(0),
                                               Int32(0),
                                               {0x00},
                                               {0, 0, 0, 0}}));
}

TEST(CrosswordPack, NoEntries) {
    TempDir dir;
    CrosswordProject project;
    project.info = "\xD0\x9F";
    EXPECT_EQ(WritePack(project, dir / "cfg.dat"), 4 + 6 + 14);
    EXPECT_EQ(test::ReadBytes(dir / "cfg.dat"),
              Concat({Int32(0), {0, 0, 0, 1, 0x04, 0x1F}, kVersion}));
}

// Real file operations, counted, with an optional full disk.
class CountingOps : public FileOps {
  public:
    int Open(const std::string& path, int flags, int mode) override {
        const int fd = FileOps::Open(path, flags, mode);
        if (fd >= 0)
            ++open;
        return fd;
    }
    int Close(int fd) override {
        ++closed;
        return FileOps::Close(fd);
    }
    long long Write(int fd, const void* buffer, std::size_t count) override {
        if (disk_full) {
            errno = ENOSPC;
            return -1;
        }
        return FileOps::Write(fd, buffer, count);
    }
    int open = 0;
    int closed = 0;
    bool disk_full = false;
};

TEST(CrosswordPack, FailuresLeaveThePackClosedForTheCallerToDelete) {
    TempDir dir;
    test::WriteBytes(dir / "good.bmp", InkPicture({"#"}));
    test::WriteBytes(dir / "bad.bmp", Bytes(20, 'Z'));
    test::WriteBytes(dir / "icon.ico", {0, 0, 1, 0, 1, 0});
    const std::string target = dir / "cfg.dat";
    struct Case {
        std::string picture;
        bool disk_full;
        std::string message;
    };
    const Case cases[] = {
        {dir / "bad.bmp", false, kBitmapNotValid},
        {dir / "icon.ico", false, kBitmapNotValid},
        {dir / "missing.bmp", false,
         "Cannot open file \"" + (dir / "missing.bmp") + "\". No such file or directory"},
        {dir / "photo.jpg", false, "Unknown picture file extension (.jpg)"},
        {dir / "good.bmp", true, "Disk full"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        CrosswordProject project;
        project.pictures = {{1, dir / "good.bmp", "", ""}, {2, c.picture, "", ""}};
        CountingOps ops;
        ops.disk_full = c.disk_full;
        {
            ScopedFileOps scope(ops);
            try {
                (void)WritePack(project, target);
                ADD_FAILURE() << "no error";
            } catch (const Error& e) {
                EXPECT_EQ(std::string(e.what()), c.message);
                // Every file opened, the pack and the pictures, is closed
                // by the time the error arrives.
                EXPECT_EQ(ops.open, ops.closed);
            }
        }
        EXPECT_TRUE(std::filesystem::remove(target));
    }
}

TEST(CrosswordPack, TargetErrorsAreFileErrors) {
    TempDir dir;
    CrosswordProject project;
    EXPECT_THROW_MSG(WritePack(project, dir / "no-such-folder/cfg.dat"), EFileError,
                     "File not found");
    std::filesystem::create_directory(dir / "folder");
    EXPECT_THROW_MSG(WritePack(project, dir / "folder"), EFileError, "File access denied");
}

}  // namespace
}  // namespace grix
