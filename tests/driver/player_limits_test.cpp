#include "builder/player_limits.h"

#include <gtest/gtest.h>

#include "builder/crossword_pack.h"

namespace grix {
namespace {

// A pack of pictures of the given sizes, cells all empty.
std::vector<std::uint8_t> PackOf(const std::vector<std::pair<int, int>>& sizes) {
    std::vector<std::uint8_t> out;
    WriteInt32(out, static_cast<std::int32_t>(sizes.size()));
    WriteText(out, "info");
    WriteText(out, kPackVersion);
    for (const auto& [w, h] : sizes) {
        WriteInt32(out, w);
        WriteInt32(out, h);
        out.resize(out.size() + static_cast<std::size_t>(w) * h / 8 + 1);
        WriteText(out, "note");
    }
    return out;
}

TEST(PlayerLimits, OneWarningPerRefusedPictureSayingWhy) {
    CrosswordProject project;
    for (int i = 1; i <= 12; ++i) project.pictures.push_back({i, "p" + std::to_string(i) + ".bmp", "", ""});
    const std::string side = " cells, so phones list it as unavailable";
    const std::string cells = " KB of cells, so phones list it as unavailable";
    // 255 x 255 takes 8129 bytes: eight fit in 64 KB, the ninth does not,
    // and a small one after it still does.
    std::vector<std::pair<int, int>> sizes = {{255, 255}, {300, 8}, {8, 256}};
    for (int i = 0; i < 8; ++i) sizes.push_back({255, 255});
    sizes.push_back({10, 10});
    const auto warnings = PlayerLimitWarnings(project, PackOf(sizes));
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0], "Warning: picture 2 (p2.bmp) is 300 * 8; the player takes no side over 255" + side);
    EXPECT_EQ(warnings[1], "Warning: picture 3 (p3.bmp) is 8 * 256; the player takes no side over 255" + side);
    EXPECT_EQ(warnings[2], "Warning: picture 11 (p11.bmp) has too many cells (255 * 255): with the pictures "
                           "before it the suite passes the player's 64" + cells);
    EXPECT_TRUE(PlayerLimitWarnings(project, PackOf({{255, 255}, {1, 1}, {0, 0}})).empty());
    EXPECT_TRUE(PlayerLimitWarnings(project, {}).empty()) << "a cut pack gives no warning";
}

}  // namespace
}  // namespace grix
