// TPicture and the format registry: choosing the kind by extension, opening
// files, the icon and metafile kinds, and what a failed load leaves behind.
#include "imaging/picture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "core/errors.h"
#include "core/file.h"
#include "imaging/bmp_builder.h"
#include "support/test_support.h"

namespace grix {
namespace {

using test::Bmp;
using test::Bytes;
using test::PutU16;
using test::PutU32;
using test::TempDir;

std::string Unknown(const std::string& extension) {
    return "Unknown picture file extension (." + extension + ")";
}

Bytes SmallBmp(std::uint32_t rgb = 0x102030) {
    Bmp bmp;
    bmp.pixels = test::Rows({{rgb}}, 24);
    return bmp.Encode();
}

TEST(FileFormats, RegistryRowsInOrder) {
    TPicture picture;  // builds the registry
    const auto& rows = TFileFormatsList::Instance().Rows();
    ASSERT_EQ(rows.size(), 4u);
    const char* expected[][2] = {
        {"wmf", "Metafiles"}, {"emf", "Enhanced Metafiles"}, {"ico", "Icons"}, {"bmp", "Bitmaps"}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].extension, expected[i][0]);
        EXPECT_EQ(rows[i].description, expected[i][1]);
    }
    EXPECT_EQ(TFileFormatsList::Instance().FindExt("BmP"), &rows[3]);
    EXPECT_EQ(TFileFormatsList::Instance().FindExt("png"), nullptr);
    EXPECT_EQ(TFileFormatsList::Instance().FindExt(""), nullptr);
}

TEST(FileFormats, ExtensionIsTheTextAfterTheLastDotOfTheName) {
    const std::pair<const char*, const char*> cases[] = {
        {"picture.bmp", "bmp"},
        {"PICTURE.BMP", "BMP"},
        {"/home/me/pics.v2/cat.Bmp", "Bmp"},
        {"archive.tar.gz", "gz"},
        {"C:\\pics.v2\\picture", ""},  // the last dot lies before a backslash
        {"/home/me/pics.v2/picture", ""},
        {"C:.bmp", "bmp"},
        {"pics.v2:picture", ""},
        {"picture.", ""},
        {"picture", ""},
        {"", ""},
    };
    for (const auto& [path, extension] : cases)
        EXPECT_EQ(PictureFileExtension(path), extension) << path;
}

TEST(Picture, StartsEmpty) {
    TPicture picture;
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_EQ(picture.AsBitmap().PixelColor(0, 0), kNoPixel);
}

TEST(Picture, ExtensionCaseDoesNotMatter) {
    TempDir dir;
    for (const char* name : {"PICTURE.BMP", "picture.Bmp", "p.bmp"}) {
        test::WriteBytes(dir / name, SmallBmp());
        TPicture picture;
        picture.LoadPictureFile(dir / name);
        EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr) << name;
        EXPECT_EQ(picture.AsBitmap().PixelColor(0, 0), 0x00302010u) << name;
    }
}

TEST(Picture, UnknownExtensionsAreRefusedBeforeTheFileIsOpened) {
    TempDir dir;
    test::WriteBytes(dir / "real.png", SmallBmp());  // a bitmap in disguise: still refused
    TPicture picture;
    EXPECT_THROW_MSG(picture.LoadPictureFile(dir / "real.png"), EInvalidGraphic, Unknown("png"));
    EXPECT_THROW_MSG(picture.LoadPictureFile(dir / "missing.PNG"), EInvalidGraphic, Unknown("PNG"));
    EXPECT_THROW_MSG(picture.LoadPictureFile("C:\\pics.v2\\picture"), EInvalidGraphic, Unknown(""));
    EXPECT_THROW_MSG(picture.LoadPictureFile(""), EInvalidGraphic, Unknown(""));
    EXPECT_THROW_MSG(picture.LoadPictureFile(dir / "cat.jpeg"), EInvalidGraphic, Unknown("jpeg"));
}

TEST(Picture, OpenFailuresNameTheFullPathAndTheReason) {
    TempDir dir;
    TPicture picture;
    const std::string missing = dir / "missing.bmp";
    EXPECT_THROW_MSG(picture.LoadPictureFile(missing), EFOpenError,
                     "Cannot open file \"" + missing + "\". No such file or directory");

    // A relative path is reported in full.
    const std::string relative = "no-such-folder/../x.bmp";
    const std::string full = (std::filesystem::current_path() / "x.bmp").string();
    EXPECT_THROW_MSG(picture.LoadPictureFile(relative), EFOpenError,
                     "Cannot open file \"" + full + "\". No such file or directory");

    std::filesystem::create_directory(dir / "folder.bmp");
    EXPECT_THROW_MSG(picture.LoadPictureFile(dir / "folder.bmp"), EFOpenError,
                     "Cannot open file \"" + (dir / "folder.bmp") + "\". Is a directory");
}

TEST(Picture, EmptyAndShortBmpFiles) {
    TempDir dir;
    test::WriteBytes(dir / "x.bmp", {});
    TPicture picture;
    picture.LoadPictureFile(dir / "x.bmp");
    EXPECT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_EQ(picture.AsBitmap().PixelColor(0, 0), kNoPixel);

    const Bytes whole = SmallBmp();
    for (std::size_t size = 1; size <= 13; ++size) {
        test::WriteBytes(dir / "x.bmp", Bytes(whole.begin(), whole.begin() + size));
        EXPECT_THROW_MSG(picture.LoadPictureFile(dir / "x.bmp"), EReadError, kStreamReadError);
    }
    Bytes not_bm(20, 'Z');
    test::WriteBytes(dir / "x.bmp", not_bm);
    EXPECT_THROW_MSG(picture.LoadPictureFile(dir / "x.bmp"), EInvalidGraphic, kBitmapNotValid);
}

TEST(Picture, AFailedLoadKeepsTheGraphicItHad) {
    TempDir dir;
    test::WriteBytes(dir / "good.bmp", SmallBmp(0xABCDEF));
    test::WriteBytes(dir / "bad.bmp", Bytes(20, 'Z'));
    TPicture picture;
    picture.LoadPictureFile(dir / "good.bmp");
    const TGraphic* held = picture.Graphic();
    EXPECT_THROW(picture.LoadPictureFile(dir / "bad.bmp"), EInvalidGraphic);
    EXPECT_THROW(picture.LoadPictureFile(dir / "missing.bmp"), EFOpenError);
    EXPECT_THROW(picture.LoadPictureFile(dir / "bad.png"), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), held);
    EXPECT_EQ(picture.AsBitmap().PixelColor(0, 0), 0x00EFCDABu);
    EXPECT_EQ(&picture.AsBitmap(), held);  // a bitmap stays in place
}

// A device that fails every read after the file is opened.
class FailingReads : public FileOps {
  public:
    long long Read(int, void*, std::size_t) override {
        errno = EIO;
        return -1;
    }
};

TEST(Picture, ADeviceFailureIsAStreamReadError) {
    TempDir dir;
    test::WriteBytes(dir / "x.bmp", SmallBmp());
    FailingReads failing;
    ScopedFileOps scope(failing);
    TPicture picture;
    EXPECT_THROW_MSG(picture.LoadPictureFile(dir / "x.bmp"), EReadError, kStreamReadError);
}

TEST(Icon, LoadsWithTheStandardSizeAndGivesNoPixels) {
    TempDir dir;
    for (std::uint16_t type : {0, 1}) {
        Bytes icon;
        PutU16(icon, 0);
        PutU16(icon, type);
        PutU16(icon, 1);
        test::WriteBytes(dir / "a.ico", icon);
        TPicture picture;
        picture.LoadPictureFile(dir / "a.ico");
        EXPECT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);
        EXPECT_EQ(picture.Width(), 32);
        EXPECT_EQ(picture.Height(), 32);
        // Asking for its bitmap replaces it with an empty one.
        EXPECT_EQ(picture.AsBitmap().PixelColor(0, 0), kNoPixel);
        EXPECT_EQ(picture.Width(), 0);
        EXPECT_EQ(picture.Height(), 0);
    }
}

TEST(Icon, Refusals) {
    TempDir dir;
    TPicture picture;
    for (std::size_t size : {0u, 5u}) {
        test::WriteBytes(dir / "a.ico", Bytes(size, 0));
        EXPECT_THROW_MSG(picture.LoadPictureFile(dir / "a.ico"), EReadError, kStreamReadError);
    }
    test::WriteBytes(dir / "a.ico", {0, 0, 2, 0, 1, 0});
    EXPECT_THROW_MSG(picture.LoadPictureFile(dir / "a.ico"), EInvalidGraphic,
                     "Icon image is not valid");
}

// An enhanced metafile: a 100-byte header record, the given records and an
// end-of-file record.
struct Emf {
    std::int32_t frame[4] = {0, 0, 2540, 1270};  // left, top, right, bottom; 0.01 mm
    std::int32_t device_px[2] = {1920, 1080};
    std::int32_t device_mm[2] = {508, 286};
    // Type and size of each record; the one end record by default. Built by
    // a call, not a braced list: GCC 12 in optimised builds warns falsely
    // (-Wmaybe-uninitialized) about the list's temporary array.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> records =
        std::vector<std::pair<std::uint32_t, std::uint32_t>>(1, {14, 20});
    std::int64_t length_adjust = 0;

    Bytes Encode() const {
        std::uint32_t length = 100;
        for (const auto& r : records)
            length += r.second;
        Bytes out;
        PutU32(out, 1);
        PutU32(out, 100);
        for (int i = 0; i < 4; ++i)
            PutU32(out, 0);  // bounds
        for (std::int32_t v : frame)
            PutU32(out, static_cast<std::uint32_t>(v));
        PutU32(out, 0x464D4520);
        PutU32(out, 0x10000);
        PutU32(out, static_cast<std::uint32_t>(length + length_adjust));
        PutU32(out, static_cast<std::uint32_t>(records.size() + 1));
        PutU32(out, 1);  // handles and reserved
        PutU32(out, 0);  // description
        PutU32(out, 0);
        PutU32(out, 0);  // palette entries
        for (std::int32_t v : device_px)
            PutU32(out, static_cast<std::uint32_t>(v));
        for (std::int32_t v : device_mm)
            PutU32(out, static_cast<std::uint32_t>(v));
        for (int i = 0; i < 3; ++i)
            PutU32(out, 0);
        for (const auto& [type, size] : records) {
            PutU32(out, type);
            PutU32(out, size);
            out.resize(out.size() + (size >= 8 ? size - 8 : 0), 0);
        }
        return out;
    }
};

// A placeable Windows metafile with a metafile header and the given
// records (size in words, function).
struct Wmf {
    std::uint32_t key = 0x9AC6CDD7;
    std::int16_t box[4] = {0, 0, 1440, 720};  // left, top, right, bottom
    std::uint16_t units_per_inch = 1440;
    std::int32_t checksum_adjust = 0;
    std::uint16_t header_words = 9;
    std::vector<std::pair<std::uint32_t, std::uint16_t>> records = {{5, 0x0201}, {3, 0x0000}};

    Bytes Encode() const {
        Bytes out;
        PutU32(out, key);
        PutU16(out, 0);
        for (std::int16_t v : box)
            PutU16(out, static_cast<std::uint16_t>(v));
        PutU16(out, units_per_inch);
        PutU32(out, 0);
        std::uint16_t checksum = 0;
        for (std::size_t i = 0; i < 20; i += 2)
            checksum ^= static_cast<std::uint16_t>(out[i] | out[i + 1] << 8);
        PutU16(out, static_cast<std::uint16_t>(checksum + checksum_adjust));
        PutU16(out, 2);
        PutU16(out, header_words);
        PutU16(out, 0x0300);
        PutU32(out, 0);
        PutU16(out, 0);
        PutU32(out, 5);
        PutU16(out, 0);
        for (const auto& [words, function] : records) {
            PutU32(out, words);
            PutU16(out, function);
            // Records that claim more than a test needs stay without
            // their body: the claim itself is what is tested.
            if (words >= 3 && words < 0x10000)
                out.resize(out.size() + (words - 3) * 2, 0);
        }
        return out;
    }
};

std::pair<std::int32_t, std::int32_t> MetafileSize(const Bytes& bytes, const char* name) {
    TempDir dir;
    test::WriteBytes(dir / name, bytes);
    TPicture picture;
    picture.LoadPictureFile(dir / name);
    EXPECT_NE(dynamic_cast<TMetafile*>(picture.Graphic()), nullptr);
    return {picture.Width(), picture.Height()};
}

TEST(Metafile, EnhancedSizeComesFromTheFrameAndTheDevice) {
    Emf emf;  // 25.4 x 12.7 mm on a 1920 x 1080 px, 508 x 286 mm device
    emf.records = {{70, 12}, {14, 20}};
    EXPECT_EQ(MetafileSize(emf.Encode(), "a.emf"), std::make_pair(96, 48));  // 47.95 rounds up
    // Halves round away from zero: 150 / 100 = 1.5 -> 2; 149 / 100 -> 1.
    emf.frame[2] = 150;
    emf.frame[3] = 149;
    emf.device_px[0] = emf.device_px[1] = 1;
    emf.device_mm[0] = emf.device_mm[1] = 1;
    EXPECT_EQ(MetafileSize(emf.Encode(), "a.emf"), std::make_pair(2, 1));
    // The kind follows the content, not the extension.
    EXPECT_EQ(MetafileSize(emf.Encode(), "a.wmf"), std::make_pair(2, 1));
}

TEST(Metafile, PlaceableSizeComesFromItsBoxAndUnits) {
    Wmf wmf;  // 1 x 0.5 inch
    EXPECT_EQ(MetafileSize(wmf.Encode(), "a.wmf"), std::make_pair(96, 48));
    wmf.units_per_inch = 0;  // taken as 96 units per inch
    wmf.box[2] = 192;
    wmf.box[3] = 48;
    EXPECT_EQ(MetafileSize(wmf.Encode(), "a.wmf"), std::make_pair(192, 48));
    wmf.units_per_inch = 2540;  // units of 0.01 mm; 1 mm is 3.78 px
    wmf.box[0] = -100;
    wmf.box[2] = 100;
    wmf.box[3] = 50;
    EXPECT_EQ(MetafileSize(wmf.Encode(), "a.emf"), std::make_pair(8, 2));
}

TEST(Metafile, Refusals) {
    const std::string kNotValid = "Metafile is not valid";
    auto refused = [&](const Bytes& bytes, const char* name) {
        TempDir dir;
        test::WriteBytes(dir / name, bytes);
        TPicture picture;
        EXPECT_THROW_MSG(picture.LoadPictureFile(dir / name), EInvalidGraphic, kNotValid);
    };
    refused({}, "empty.emf");
    refused(Bytes(21, 0), "short.wmf");
    refused(SmallBmp(), "bitmap.wmf");

    auto emf = [](auto change) {
        Emf e;
        change(e);
        return e.Encode();
    };
    refused(emf([](Emf& e) { e.records.clear(); }), "no end record.emf");
    refused(emf([](Emf& e) { e.records = {{14, 20}, {70, 8}}; }), "after the end.emf");
    refused(emf([](Emf& e) { e.records = {{70, 10}, {14, 20}}; }), "unaligned.emf");
    refused(emf([](Emf& e) { e.records = {{70, 4}, {14, 20}}; }), "too small.emf");
    refused(emf([](Emf& e) { e.records = {{1, 100}, {14, 20}}; }), "second header.emf");
    refused(emf([](Emf& e) { e.length_adjust = -4; }), "record past the length.emf");
    refused(emf([](Emf& e) { e.device_mm[0] = 0; }), "no device.emf");
    refused(emf([](Emf& e) { e.frame[2] = -5; }), "inverted frame.emf");
    {
        Bytes overrun = emf([](Emf&) {});
        overrun[100 + 4] = 0xF0;  // the end record claims more than the file has
        refused(overrun, "overrun.emf");
    }

    auto wmf = [](auto change) {
        Wmf w;
        change(w);
        return w.Encode();
    };
    refused(wmf([](Wmf& w) { w.key = 0x9AC6CDD6; }), "key.wmf");
    refused(wmf([](Wmf& w) { w.checksum_adjust = 1; }), "checksum.wmf");
    refused(wmf([](Wmf& w) { w.header_words = 8; }), "header.wmf");
    refused(wmf([](Wmf& w) { w.records = {{5, 0x0201}}; }), "no end record.wmf");
    refused(wmf([](Wmf& w) { w.records = {{2, 0x0201}, {3, 0}}; }), "record too small.wmf");
    refused(wmf([](Wmf& w) { w.records = {{0x40000000, 0x0201}}; }), "record too large.wmf");
    refused(wmf([](Wmf& w) { w.box[3] = -10; }), "inverted box.wmf");
}

TEST(Metafile, AnEnhancedMetafileShorterThanItsHeaderSaysIsAReadError) {
    Emf emf;
    emf.length_adjust = 4;
    TempDir dir;
    test::WriteBytes(dir / "a.emf", emf.Encode());
    TPicture picture;
    EXPECT_THROW_MSG(picture.LoadPictureFile(dir / "a.emf"), EReadError, kStreamReadError);
}

}  // namespace
}  // namespace grix
