// Our decoder against an independent one: every sample picture and fuzz
// seed is decoded by Python's Pillow too (Debian's python3-pil, through the
// interpreter scripts/pillow-python.sh chooses) and must give the same
// colours. Pillow scales 5- and 6-bit channels to the full range
// (31 -> 255) where we shift (31 -> 248), so for 16-bit pictures the
// channels are compared on their top five bits.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

TEST(PillowCrossCheck, SamplePicturesDecodeAlike) {
    if (test::RunCommand(std::string(kPython) + " -c 'import PIL'") != 0) {
        GTEST_SKIP() << "Python's Pillow is not installed for " << kPython
                     << " (Debian package python3-pil)";
    }
    const std::vector<std::string> pictures = SamplePictures();
    ASSERT_GE(pictures.size(), 8u);
    test::TempDir dir;
    test::WriteText(dir / "dump.py", kDumpScript);
    std::string command = std::string(kPython) + " " + test::ShellQuote(dir / "dump.py") + " " +
                          test::ShellQuote(dir.path().string());
    for (const auto& path : pictures)
        command += " " + test::ShellQuote(path);
    std::string err;
    ASSERT_EQ(test::RunCommand(command, nullptr, &err), 0) << err;

    int compared = 0;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::string dump = dir / (std::to_string(i) + ".rgb");
        const bool is_example = pictures[i].find("/examples/") != std::string::npos;
        if (!fs::exists(dump)) {
            EXPECT_FALSE(is_example) << "Pillow cannot read " << pictures[i];
            continue;
        }
        SCOPED_TRACE(pictures[i]);
        // Pillow reads n / 2 bytes for an absolute run of n 4-bit pixels,
        // losing the last pixel of every odd run (and misreading what
        // follows); this seed has such runs.
        if (fs::path(pictures[i]).filename() == "rle4.bmp")
            continue;
        const std::vector<std::uint8_t> bytes = test::ReadBytes(dump);
        ASSERT_GE(bytes.size(), 8u);
        const auto u32 = [&](std::size_t at) {
            return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                             bytes[at + 3] << 24);
        };
        TPicture picture;
        picture.LoadPictureFile(pictures[i]);
        ASSERT_EQ(picture.Width(), u32(0));
        ASSERT_EQ(picture.Height(), u32(4));
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
    EXPECT_GE(compared, 8);
}

}  // namespace
}  // namespace grix
