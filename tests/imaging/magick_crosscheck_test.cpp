// The import's readers against an independent decoder: every PNG, JPEG and
// GIF seed of the fuzz corpus (drawn by fuzz/make_import_seeds.sh) is also
// laid over white and decoded by ImageMagick, where it is installed; the
// luminances must agree within the rounding two decoders may differ by.
// A JPEG is read for its stored luminance, where ImageMagick gives colours
// whose chroma, upsampled and clipped at sharp edges, moves single pixels
// by tens of levels (darker, as clipping only takes away): JPEGs are
// compared as the cells they make. Around the seeds' pure red bars a cell
// drawn at 154.3 reads 150.8 here and 141.9 there, hence the wide margin;
// what it catches is a picture read upside down, inverted or misplaced.
#include <gtest/gtest.h>

#include <filesystem>

#include "convert/cell_scaling.h"
#include "import/picture_reader.h"
#include "support/test_support.h"

namespace grix {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Seeds() {
    std::vector<std::string> paths;
    for (const char* kind : {"png", "jpeg", "gif"}) {
        const fs::path dir = fs::path(GRIX_SOURCE_DIR) / "fuzz" / "corpus" / kind;
        if (fs::is_directory(dir)) {
            for (const auto& entry : fs::directory_iterator(dir))
                paths.push_back(entry.path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

TEST(MagickCrosscheck, SeedsDecodeAlike) {
    if (test::RunCommand("command -v convert >/dev/null") != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
    const std::vector<std::string> seeds = Seeds();
    ASSERT_GE(seeds.size(), 10u);
    test::TempDir dir;
    for (const std::string& path : seeds) {
        SCOPED_TRACE(path);
        const DecodedPicture ours = ReadPicture(path);
        // The first frame, placed on its logical screen, over white, turned as
        // its Exif data say.
        const std::string rgb = dir / "out.rgb";
        ASSERT_EQ(test::RunCommand("convert " + test::ShellQuote(path + "[0]") +
                                   " -auto-orient -background white -flatten -alpha off -depth 8 rgb:" +
                                   test::ShellQuote(rgb)),
                  0);
        const std::vector<std::uint8_t> theirs = test::ReadBytes(rgb);
        ASSERT_EQ(theirs.size(), ours.luma.y.size() * 3);
        LumaImage magick{ours.luma.width, ours.luma.height, {}};
        for (std::size_t i = 0; i < ours.luma.y.size(); ++i)
            magick.y.push_back(LumaOverWhite(theirs[3 * i], theirs[3 * i + 1], theirs[3 * i + 2]));
        if (ours.kind == PictureKind::Jpeg) {
            const int w = ours.luma.width / 4, h = ours.luma.height / 4;
            const CellLuma a = AreaAverage(ours.luma, w, h), b = AreaAverage(magick, w, h);
            for (std::size_t i = 0; i < a.y.size(); ++i)
                ASSERT_NEAR(a.y[i], b.y[i], 12) << "cell " << i;
        } else {
            for (std::size_t i = 0; i < ours.luma.y.size(); ++i)
                ASSERT_NEAR(ours.luma.y[i], magick.y[i], 1) << "pixel " << i;
        }
    }
}

}  // namespace
}  // namespace grix
