// From luminance to cells: area averaging with fractional edges, Otsu's
// threshold, and the written BMP read back by the pack's own reader.
#include <gtest/gtest.h>

#include <random>

#include "cells/pack_picture.h"
#include "convert/cell_bmp_writer.h"
#include "convert/cell_scaling.h"
#include "convert/cell_threshold.h"
#include "support/test_support.h"

namespace grix {
namespace {

LumaImage Luma(int width, int height, std::vector<std::uint8_t> y) {
    return LumaImage{width, height, std::move(y)};
}

TEST(AreaAverage, WholePixelsPerCell) {
    // Each 2 x 2 quarter averages its own four pixels.
    const LumaImage source = Luma(4, 4,
                                  {0, 10, 200, 220,   //
                                   20, 30, 240, 250,  //
                                   100, 100, 0, 255,  //
                                   100, 101, 255, 0});
    const CellLuma cells = AreaAverage(source, 2, 2);
    EXPECT_EQ(cells.y, (std::vector<float>{15.0f, 227.5f, 100.25f, 127.5f}));
}

TEST(AreaAverage, CountsPixelsCutByCellEdgesByTheirShare) {
    // 3 x 3 into 2 x 2: every cell covers 1.5 x 1.5 pixels, so the corner
    // pixel weighs 1, the edge pixels 0.5 and the centre 0.25 (of 2.25).
    const LumaImage source = Luma(3, 3,
                                  {0, 90, 180,  //
                                   90, 255, 0,  //
                                   180, 0, 45});
    const CellLuma cells = AreaAverage(source, 2, 2);
    const std::vector<float> expected = {
        (0 + 0.5f * 90 + 0.5f * 90 + 0.25f * 255) / 2.25f,   // 68.33
        (180 + 0.5f * 90 + 0.5f * 0 + 0.25f * 255) / 2.25f,  // 128.33
        (180 + 0.5f * 90 + 0.5f * 0 + 0.25f * 255) / 2.25f,  // 128.33
        (45 + 0.5f * 0 + 0.5f * 0 + 0.25f * 255) / 2.25f};   // 48.33
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(cells.y[i], expected[i], 1e-3) << i;
    // Enlarging: a cell inside one pixel takes its value.
    const CellLuma large = AreaAverage(Luma(2, 1, {10, 250}), 4, 1);
    EXPECT_EQ(large.y, (std::vector<float>{10, 10, 250, 250}));
}

TEST(HeightForWidth, RoundsTheAspectRatio) {
    struct Case {
        int source_width, source_height, width, height;
    };
    for (const Case c : {Case{4000, 3000, 40, 30}, Case{100, 33, 10, 3}, Case{2, 3, 1, 2},
                         Case{3, 2, 1, 1}, Case{10000, 1, 5, 1}}) {
        EXPECT_EQ(HeightForWidth(c.source_width, c.source_height, c.width), c.height)
            << c.source_width << "x" << c.source_height << " at " << c.width;
    }
}

CellLuma Cells(std::vector<float> y) {
    return CellLuma{static_cast<int>(y.size()), 1, std::move(y)};
}

TEST(OtsuThreshold, SplitsTwoPeaksInTheMiddleOfTheGap) {
    std::vector<float> y(10, 40.2f);
    y.insert(y.end(), 6, 200.0f);
    // Any T in 41..200 splits alike; the middle one is taken.
    EXPECT_EQ(OtsuThreshold(Cells(y)), 120);

    // Two noisy peaks of unequal size: the threshold falls between them.
    std::mt19937 random(7);
    std::normal_distribution<float> dark(50, 6), light(190, 10);
    std::vector<float> noisy;
    for (int i = 0; i < 300; ++i)
        noisy.push_back(dark(random));
    for (int i = 0; i < 900; ++i)
        noisy.push_back(light(random));
    const int t = OtsuThreshold(Cells(noisy));
    EXPECT_GT(t, 75);
    EXPECT_LT(t, 160);

    EXPECT_EQ(OtsuThreshold(Cells({30, 30, 30})), 128);  // one level: no split to make
}

TEST(ThresholdCells, FillsBelowTheThresholdAndInverts) {
    const CellLuma cells = Cells({0, 99.9f, 100, 255});
    EXPECT_EQ(ThresholdCells(cells, 100, false).cells, (std::vector<std::uint8_t>{1, 1, 0, 0}));
    EXPECT_EQ(ThresholdCells(cells, 100, true).cells, (std::vector<std::uint8_t>{0, 0, 1, 1}));
    EXPECT_EQ(ThresholdCells(cells, 0, false).cells, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(CellBmp, ReadsBackAsTheSameCellsThroughThePacksReader) {
    test::TempDir dir;
    std::mt19937 random(11);
    // Sides around the 32-pixel row word and the 8-pixel byte.
    for (const auto& [width, height] : {std::pair{1, 1}, {7, 3}, {8, 2}, {33, 5}, {40, 30}}) {
        CellGrid cells{width, height, {}};
        for (int i = 0; i < width * height; ++i)
            cells.cells.push_back(static_cast<std::uint8_t>(random() & 1));
        const std::string path = dir / ("c" + std::to_string(width) + ".bmp");
        WriteCellBmp(path, cells);

        EXPECT_EQ(CellsOfPicture(path), cells) << width << " x " << height;
    }
}

TEST(CellBmp, NamesTheFileItCannotWriteAndLeavesNothing) {
    test::TempDir dir;
    const std::string path = dir / "missing/out.bmp";
    EXPECT_THROW_MSG(WriteCellBmp(path, CellGrid{1, 1, {1}}), EFCreateError,
                     "Cannot create file \"" + path + "\". File not found");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace grix
