// grix-cli convert: what it prints, writes and answers, and --fair finding
// a fair neighbour of an ambiguous picture.
#include <gtest/gtest.h>

#include "cells/pack_picture.h"
#include "imaging/picture_encoders.h"
#include "support/test_support.h"

namespace grix {
namespace {

// A picture of 2 x 2 cells, each 4 x 4 pixels of one grey. With the
// top-right cell at 140 a threshold of 128 leaves two filled cells on a
// diagonal (two solutions); from 141 on that cell fills too, and an L of
// three cells is solved line by line.
test::Bytes TwoByTwo(std::uint8_t top_right) {
    return test::EncodePng(8, 8, [top_right](int x, int y) -> std::uint32_t {
        const std::uint32_t grey = (x < 4) == (y < 4) ? 0 : (x >= 4 && y < 4) ? top_right : 255;
        return grey << 24 | grey << 16 | grey << 8 | 0xFF;
    });
}

struct ConvertCase {
    const char* name;
    std::uint8_t top_right;
    std::string options;
    int status;
    std::string out;      // "OUT" stands for the written file's path
    std::string written;  // its cells, row by row ("" when nothing is written)
};

class ConvertCliTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertCliTest, PrintsSizeChoiceAndVerdict) {
    const ConvertCase& c = GetParam();
    test::TempDir dir;
    const std::string in = dir / "in.png", out = dir / "out.bmp";
    test::WriteBytes(in, TwoByTwo(c.top_right));
    std::string stdout_text, stderr_text;
    const int status = test::RunCommand(std::string(GRIX_CLI_PATH) + " convert " + c.options + " " +
                                            test::ShellQuote(in) + " " + test::ShellQuote(out),
                                        &stdout_text, &stderr_text);
    EXPECT_EQ(status, c.status) << stderr_text;
    std::string expected = c.out;
    for (std::size_t at; (at = expected.find("OUT")) != std::string::npos;)
        expected.replace(at, 3, out);
    EXPECT_EQ(stdout_text, expected);
    EXPECT_EQ(stderr_text, "");
    const CellGrid cells = CellsOfPicture(out);
    std::string rows;
    for (std::size_t i = 0; i < cells.cells.size(); ++i)
        rows += cells.cells[i] ? '#' : '.';
    EXPECT_EQ(rows, c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertCliTest,
    ::testing::Values(
        ConvertCase{"ambiguous", 140, "--width 2 --threshold 128", 0,
                    "2 * 2\nOUT: several solutions\n", "#..#"},
        ConvertCase{"auto_height_and_threshold", 255, "--width 2", 0,
                    "2 * 2\nOUT: several solutions\n", "#..#"},
        // Columns average 127.5 and 70: the light one fills when inverted.
        ConvertCase{"inverted", 140, "--width 2 --height 1 --threshold 100 --invert", 0,
                    "2 * 1\nOUT: unique (line logic)\n", "#."},
        ConvertCase{"fair_neighbour", 140, "--width 2 --height 2 --threshold 128 --fair", 0,
                    "2 * 2\nFair: threshold 141, height 2 (asked: threshold 128, height 2)\n"
                    "OUT: unique (line logic)\n",
                    "##.#"},
        ConvertCase{"fair_none", 255, "--width 2 --threshold 128 --fair", 2,
                    "2 * 2\nNo threshold or height near the asked ones gives a unique puzzle; "
                    "kept threshold 128, height 2 as asked\nOUT: several solutions\n",
                    "#..#"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertCli, FailsWithTheMessageAloneAndWritesNothing) {
    test::TempDir dir;
    const std::string in = dir / "in.gif", out = dir / "out.bmp";
    test::WriteBytes(in, {'G', 'I', 'F', '8', '9', 'a', 1});
    std::string stdout_text, stderr_text;
    const int status = test::RunCommand(std::string(GRIX_CLI_PATH) + " convert --width 5 " +
                                            test::ShellQuote(in) + " " + test::ShellQuote(out),
                                        &stdout_text, &stderr_text);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(stdout_text, "");
    EXPECT_EQ(stderr_text.rfind("Cannot read the GIF picture \"" + in + "\": ", 0), 0u)
        << stderr_text;
    EXPECT_FALSE(std::filesystem::exists(out));
}

// A picture far taller than wide, at a width that makes it too tall: the
// message gives the height it would really have.
TEST(ConvertCli, GivesTheRealHeightOfATooTallResult) {
    test::TempDir dir;
    const std::string in = dir / "tall.png", out = dir / "out.bmp";
    test::WriteBytes(in, test::EncodePng(1, 3000, [](int, int) { return 0x000000FFu; }));
    std::string stdout_text, stderr_text;
    EXPECT_EQ(test::RunCommand(std::string(GRIX_CLI_PATH) + " convert --width 1000 " +
                                   test::ShellQuote(in) + " " + test::ShellQuote(out),
                               &stdout_text, &stderr_text),
              1);
    EXPECT_NE(stderr_text.find("would be 3000000 cells down"), std::string::npos) << stderr_text;
}

}  // namespace
}  // namespace grix
