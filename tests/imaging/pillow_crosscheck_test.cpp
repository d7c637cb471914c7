// Our decoder against an independent one: every sample picture and fuzz
// seed is decoded by Python's Pillow too (Debian's python3-pil, through the
// interpreter scripts/pillow-python.sh chooses) and must give the same
// colours. Pillow scales 5- and 6-bit channels to the full range
// (31 -> 255) where we shift (31 -> 248), so for 16-bit pictures the
// channels are compared on their top five bits.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "imaging/bmp_builder.h"
#include "imaging/picture.h"
#include "support/test_support.h"

namespace grix {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPython = GRIX_PILLOW_PYTHON;

// Writes <out>/<i>.rgb for the i-th picture Pillow can read: width and
// height as little-endian 32-bit values, then red, green, blue per pixel,
// top row first.
constexpr const char* kDumpScript = R"(
import struct, sys
from PIL import Image
out = sys.argv[1]
for i, path in enumerate(sys.argv[2:]):
    try:
        im = Image.open(path)
        im.load()
    except Exception:
        continue
    im = im.convert("RGB")
    with open("%s/%d.rgb" % (out, i), "wb") as f:
        f.write(struct.pack("<II", *im.size) + im.tobytes())
)";

std::vector<std::string> SamplePictures() {
    std::vector<std::string> paths;
    for (const char* folder : {"examples", "fuzz/corpus/bmp"}) {
        const fs::path dir = fs::path(GRIX_SOURCE_DIR) / folder;
        if (!fs::is_directory(dir))
            continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.path().extension() == ".bmp")
                paths.push_back(entry.path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool HavePillow() {
    return test::RunCommand(std::string(kPython) + " -c 'import PIL'") == 0;
}

// Decodes every picture with Pillow and with our reader and compares them
// pixel by pixel; answers how many were compared. `must_read` says which
// pictures Pillow has to read (it refuses some of the seeds' oddities).
int CompareWithPillow(const std::vector<std::string>& pictures,
                      const std::function<bool(const std::string&)>& must_read) {
    test::TempDir dir;
    test::WriteText(dir / "dump.py", kDumpScript);
    std::string command = std::string(kPython) + " " + test::ShellQuote(dir / "dump.py") + " " +
                          test::ShellQuote(dir.path().string());
    for (const auto& path : pictures)
        command += " " + test::ShellQuote(path);
    std::string err;
    EXPECT_EQ(test::RunCommand(command, nullptr, &err), 0) << err;

    int compared = 0;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::string dump = dir / (std::to_string(i) + ".rgb");
        if (!fs::exists(dump)) {
            EXPECT_FALSE(must_read(pictures[i])) << "Pillow cannot read " << pictures[i];
            continue;
        }
        SCOPED_TRACE(pictures[i]);
        // Pillow reads n / 2 bytes for an absolute run of n 4-bit pixels,
        // losing the last pixel of every odd run (and misreading what
        // follows); this seed has such runs.
        if (fs::path(pictures[i]).filename() == "rle4.bmp")
            continue;
        const std::vector<std::uint8_t> bytes = test::ReadBytes(dump);
        if (bytes.size() < 8) {
            ADD_FAILURE() << "short dump";
            continue;
        }
        const auto u32 = [&](std::size_t at) {
            return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                             bytes[at + 3] << 24);
        };
        TPicture picture;
        picture.LoadPictureFile(pictures[i]);
        if (picture.Width() != u32(0) || picture.Height() != u32(4)) {
            ADD_FAILURE() << "size " << picture.Width() << " x " << picture.Height()
                          << ", Pillow's " << u32(0) << " x " << u32(4);
            continue;
        }
        const bool sixteen_bit = picture.AsBitmap().Format().bits_per_pixel == 16;
        const TColor mask = sixteen_bit ? 0x00F8F8F8 : 0x00FFFFFF;
        std::size_t at = 8;
        int mismatches = 0;
        for (std::int32_t y = 0; y < picture.Height(); ++y) {
            for (std::int32_t x = 0; x < picture.Width(); ++x, at += 3) {
                const TColor theirs = RgbColor(bytes[at], bytes[at + 1], bytes[at + 2]);
                const TColor ours = picture.AsBitmap().PixelColor(x, y);
                if ((ours & mask) != (theirs & mask) && mismatches++ < 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y << ": ours " << std::hex << ours
                                  << ", Pillow's " << theirs;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        ++compared;
    }
    return compared;
}

TEST(PillowCrossCheck, SamplePicturesDecodeAlike) {
    if (!HavePillow()) {
        GTEST_SKIP() << "Python's Pillow is not installed for " << kPython
                     << " (Debian package python3-pil)";
    }
    const std::vector<std::string> pictures = SamplePictures();
    ASSERT_GE(pictures.size(), 8u);
    const int compared = CompareWithPillow(pictures, [](const std::string& path) {
        return path.find("/examples/") != std::string::npos;
    });
    EXPECT_GE(compared, 8);
}

// Row lengths round up to whole 32-bit words: indexed pictures at widths on
// either side of a word boundary, every row different, so a row read from
// the wrong offset shows.
TEST(PillowCrossCheck, IndexedRowsOfEveryWidthAroundAWordDecodeAlike) {
    if (!HavePillow()) {
        GTEST_SKIP() << "Python's Pillow is not installed for " << kPython
                     << " (Debian package python3-pil)";
    }
    test::TempDir dir;
    std::vector<std::string> pictures;
    std::uint32_t seed = 12345;
    for (const int bpp : {1, 4, 8}) {
        for (const int width : {1, 31, 32, 33, 63, 64, 65}) {
            test::Bmp bmp;
            bmp.width = width;
            bmp.height = 5;
            bmp.bpp = static_cast<std::uint16_t>(bpp);
            const std::uint32_t colours = 1u << bpp;
            for (std::uint32_t i = 0; i < colours; ++i)
                bmp.table.push_back(i * 0x010305u * 255u / colours ^ (i & 1 ? 0xFF0000u : 0));
            std::vector<std::vector<std::uint32_t>> rows(5);
            for (auto& row : rows) {
                for (int x = 0; x < width; ++x) {
                    seed = seed * 1103515245u + 12345u;
                    row.push_back((seed >> 16) % colours);
                }
            }
            bmp.pixels = test::Rows(rows, bpp);
            pictures.push_back(dir /
                               (std::to_string(bpp) + "bit_" + std::to_string(width) + ".bmp"));
            test::WriteBytes(pictures.back(), bmp.Encode());
        }
    }
    EXPECT_EQ(CompareWithPillow(pictures, [](const std::string&) { return true; }),
              static_cast<int>(pictures.size()));
}

}  // namespace
}  // namespace grix
