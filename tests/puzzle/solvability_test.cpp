// Verdicts on puzzles with known answers, the exhaustive 4 x 4 counts, and
// random pictures against an independent brute-force count.
#include "puzzle/solvability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <thread>

#include "puzzle/clues.h"
#include "puzzle_grids.h"

namespace grix {
namespace {

// '#' filled, anything else empty; every row as long as the first.
CellGrid Grid(const std::vector<std::string>& rows) {
    CellGrid grid;
    grid.height = static_cast<int>(rows.size());
    grid.width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    for (const auto& row : rows) {
        for (const char c : row)
            grid.cells.push_back(c == '#');
    }
    return grid;
}

// The solutions of the grid's clues, counted up to two by trying every
// combination of rows that fit their own clues.
int BruteForceCount(const CellGrid& grid) {
    const Clues rows = RowClues(grid);
    const Clues columns = ColumnClues(grid);
    std::vector<std::vector<std::vector<std::uint8_t>>> candidates(rows.size());
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (unsigned bits = 0; bits < (1u << grid.width); ++bits) {
            CellGrid row{grid.width, 1, {}};
            for (int x = 0; x < grid.width; ++x)
                row.cells.push_back((bits >> x) & 1);
            if (RowClues(row)[0] == rows[y])
                candidates[y].push_back(row.cells);
        }
    }
    int count = 0;
    CellGrid trial{grid.width, grid.height, {}};
    std::vector<std::size_t> pick(rows.size(), 0);
    for (;;) {
        trial.cells.clear();
        for (std::size_t y = 0; y < rows.size(); ++y) {
            trial.cells.insert(trial.cells.end(), candidates[y][pick[y]].begin(),
                               candidates[y][pick[y]].end());
        }
        if (ColumnClues(trial) == columns && ++count == 2)
            return count;
        std::size_t y = 0;
        while (y < pick.size() && ++pick[y] == candidates[y].size())
            pick[y++] = 0;
        if (y == pick.size())
            return count;
    }
}

// What a Several verdict must carry: another solution of the same clues,
// and exactly the cells where it differs.
void ExpectAnotherSolution(const CellGrid& grid, const CheckResult& result) {
    ASSERT_EQ(result.verdict, Verdict::Several);
    EXPECT_TRUE(SatisfiesClues(result.other, RowClues(grid), ColumnClues(grid)));
    EXPECT_NE(result.other, grid);
    std::vector<std::pair<int, int>> differs;
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            if (grid.Filled(x, y) != result.other.Filled(x, y))
                differs.emplace_back(x, y);
        }
    }
    EXPECT_EQ(result.differs, differs);
}

TEST(Clues, AreTheRunsOfEveryRowAndColumn) {
    const CellGrid grid = Grid({"##.#", "....", "#.##"});
    EXPECT_EQ(RowClues(grid), (Clues{{2, 1}, {}, {1, 2}}));
    EXPECT_EQ(ColumnClues(grid), (Clues{{1, 1}, {1}, {1}, {1, 1}}));
    EXPECT_TRUE(SatisfiesClues(grid, RowClues(grid), ColumnClues(grid)));
    EXPECT_FALSE(SatisfiesClues(Grid({"#..#", "....", "#.##"}), RowClues(grid), ColumnClues(grid)));
}

TEST(CheckCells, TinyPuzzlesWithKnownVerdicts) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        Verdict verdict;
    };
    const Case cases[] = {
        {"2 x 2 diagonal", {"#.", ".#"}, Verdict::Several},
        {"diagonal inside an empty block",
         {".....", ".#...", "..#..", ".....", "....#"},
         Verdict::Several},
        {"no four-cell swap, found by search", {".#.#", "#.#.", "....", "...."}, Verdict::Several},
        {"plus sign", {".#.", "###", ".#."}, Verdict::Line},
        {"full", {"###", "###"}, Verdict::Line},
        {"single cell", {"#"}, Verdict::Line},
        {"needs search", {"#..#", ".##.", "....", "...."}, Verdict::Search},
        {"empty", {"...", "...", "..."}, Verdict::Blank},
        {"no cells at all", {}, Verdict::Blank},
        {"one row", {"##.#.###"}, Verdict::Line},
        {"one column", {"#", ".", "#", "#"}, Verdict::Line},
    };
    for (const Case& c : cases) {
        const CellGrid grid = Grid(c.rows);
        const CheckResult result = CheckCells(grid);
        EXPECT_EQ(result.verdict, c.verdict) << c.name;
        EXPECT_EQ(result.width, grid.width) << c.name;
        EXPECT_EQ(result.height, grid.height) << c.name;
        if (c.verdict == Verdict::Several) {
            ExpectAnotherSolution(grid, result);
        } else {
            EXPECT_TRUE(result.differs.empty()) << c.name;
        }
    }
    const CheckResult diagonal = CheckCells(Grid({"#.", ".#"}));
    EXPECT_EQ(diagonal.other, Grid({".#", "#."}));
    EXPECT_EQ(diagonal.differs, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
}

// Every one of the 65,536 grids of 4 x 4: the published counts are 52,362
// with a unique solution, 51,234 of them reached by line logic (the blank
// grid counts as both).
TEST(CheckCells, AllFourByFourGridsGiveThePublishedCounts) {
    int unique = 0;
    int line = 0;
    CellGrid grid{4, 4, std::vector<std::uint8_t>(16)};
    for (unsigned bits = 0; bits < (1u << 16); ++bits) {
        for (unsigned i = 0; i < 16; ++i)
            grid.cells[i] = (bits >> i) & 1;
        const Verdict verdict = CheckCells(grid).verdict;
        ASSERT_NE(verdict, Verdict::Undecided) << bits;
        line += verdict == Verdict::Line || verdict == Verdict::Blank;
        unique += verdict != Verdict::Several;
    }
    EXPECT_EQ(unique, 52362);
    EXPECT_EQ(line, 51234);
}

TEST(CheckCells, AgreesWithABruteForceCountOnRandomPictures) {
    std::mt19937 random(2024);
    for (int trial = 0; trial < 300; ++trial) {
        const int width = 1 + static_cast<int>(random() % 6);
        const int height = 1 + static_cast<int>(random() % 6);
        const double ink = 0.2 + 0.15 * static_cast<double>(random() % 5);
        const CellGrid grid = Random(width, height, ink, random);
        ASSERT_TRUE(SatisfiesClues(grid, RowClues(grid), ColumnClues(grid)));
        const CheckResult result = CheckCells(grid);
        const int count = BruteForceCount(grid);
        ASSERT_GE(count, 1);
        if (count == 1) {
            EXPECT_NE(result.verdict, Verdict::Several) << trial;
            EXPECT_NE(result.verdict, Verdict::Undecided) << trial;
        } else {
            ExpectAnotherSolution(grid, result);
        }
    }
}

TEST(CheckCells, LargerAmbiguousPicturesCarryAnotherSolution) {
    std::mt19937 random(99);
    int several = 0;
    for (int trial = 0; trial < 20; ++trial) {
        const CellGrid grid = Random(20, 15, 0.5, random);
        const CheckResult result = CheckCells(grid, 10.0);
        if (result.verdict != Verdict::Several)
            continue;
        ++several;
        ExpectAnotherSolution(grid, result);
    }
    EXPECT_GT(several, 10);
}

// A triangle that line logic solves, with a swap planted in the empty
// corner: the four corners of a rectangle (a switch), or two interleaved
// rows that no four-cell swap turns into each other. Only the planted
// cells may differ.
TEST(CheckCells, PlantedSwapsAreFoundAtAnySize) {
    struct Plant {
        const char* name;
        std::vector<std::string> rows;
    };
    const Plant plants[] = {
        {"2 x 2 diagonal", {"#.", ".#"}},
        {"far switch", {"#.....", "......", "......", ".....#"}},
        {"interleaved rows", {".#.#", "#.#."}},
    };
    for (const int side : {65, 100, 255}) {
        for (const Plant& plant : plants) {
            CellGrid grid{side, side,
                          std::vector<std::uint8_t>(static_cast<std::size_t>(side) * side)};
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x + y < side / 2; ++x)
                    grid.cells[static_cast<std::size_t>(y * side + x)] = 1;
            }
            const int height = static_cast<int>(plant.rows.size());
            const int width = static_cast<int>(plant.rows[0].size());
            std::vector<std::pair<int, int>> planted;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const int at = (side - 1 - height + y) * side + side - 1 - width + x;
                    grid.cells[static_cast<std::size_t>(at)] = plant.rows[y][x] == '#';
                    planted.emplace_back(side - 1 - width + x, side - 1 - height + y);
                }
            }
            const CheckResult result = CheckCells(grid, 10.0);
            ExpectAnotherSolution(grid, result);
            for (const auto& cell : result.differs) {
                EXPECT_NE(std::find(planted.begin(), planted.end(), cell), planted.end())
                    << plant.name << " " << side;
            }
        }
    }
}

// Random pictures larger than any fixed-size lookup: they have swaps
// everywhere, found long before the budget.
TEST(CheckCells, LargeRandomPicturesAreFoundAmbiguous) {
    std::mt19937 random(65);
    for (const int side : {65, 100, 255}) {
        const CellGrid grid = Random(side, side, 0.5, random);
        const CheckResult result = CheckCells(grid, 10.0);
        ExpectAnotherSolution(grid, result);
    }
}

// Every phase watches the clock: whatever the size, the check ends soon
// after its budget, and a cancel ends it at once.
TEST(CheckCells, GivesUpSoonAfterItsBudget) {
    struct Case {
        CellGrid grid;
        double budget;
    };
    std::mt19937 random(5);
    const Case cases[] = {
        {SlowGrid(4), 0.002},
        {SlowGrid(8), 0.01},
        {SlowGrid(16), 0.05},
        // Too large even to read its clues in the time.
        {Random(3000, 3000, 0.5, random), 0.01},
        {SlowGrid(4), std::nan("")},
        {SlowGrid(4), -1.0},
    };
    for (const Case& c : cases) {
        const CheckResult result = CheckCells(c.grid, c.budget);
        const double budget = std::isnan(c.budget) ? 0.0 : std::max(c.budget, 0.0);
        EXPECT_EQ(result.verdict, Verdict::Undecided) << c.grid.width << " " << c.budget;
        EXPECT_GE(result.seconds, budget) << c.grid.width;
        EXPECT_LT(result.seconds, budget + 0.05) << c.grid.width;
    }

    std::atomic<bool> cancel{true};
    const CellGrid grid = SlowGrid(8);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CheckCells(grid, 60.0, &cancel).verdict, Verdict::Undecided);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
              0.05);
}

TEST(CheckCells, SlowPicturesAreUniqueGivenTime) {
    const CheckResult result = CheckCells(SlowGrid(4), 60.0);
    EXPECT_EQ(result.verdict, Verdict::Search);
}

TEST(CheckCells, RunsOnSeveralThreadsAtOnce) {
    std::mt19937 random(11);
    std::vector<CellGrid> grids;
    for (int i = 0; i < 4; ++i)
        grids.push_back(Random(12, 12, 0.5, random));
    std::vector<Verdict> alone;
    for (const auto& grid : grids)
        alone.push_back(CheckCells(grid, 30.0).verdict);
    std::vector<Verdict> together(grids.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < grids.size(); ++i) {
        threads.emplace_back([&, i] { together[i] = CheckCells(grids[i], 30.0).verdict; });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(together, alone);
}

TEST(CheckCells, RefusesCellsThatDoNotMatchTheSize) {
    EXPECT_THROW((void)CheckCells(CellGrid{3, 3, std::vector<std::uint8_t>(8)}),
                 std::invalid_argument);
}

TEST(SolveClues, FindsASolutionOfTheCluesOrSaysThereIsNone) {
    std::mt19937 random(21);
    for (int trial = 0; trial < 20; ++trial) {
        const CellGrid picture = Random(12, 9, 0.5, random);
        CellGrid solution;
        ASSERT_TRUE(SolveClues(12, 9, RowClues(picture), ColumnClues(picture), solution, 10.0));
        EXPECT_TRUE(SatisfiesClues(solution, RowClues(picture), ColumnClues(picture))) << trial;
    }
    CellGrid solution;
    bool late = true;
    // Two rows of one cell each, but no column holds any.
    EXPECT_FALSE(SolveClues(2, 2, {{1}, {1}}, {{}, {}}, solution, 10.0, &late));
    EXPECT_FALSE(late);
    EXPECT_FALSE(SolveClues(2, 1, {{3}}, {{}, {}}, solution));
    EXPECT_THROW((void)SolveClues(2, 2, {{1}}, {{}, {}}, solution), std::invalid_argument);
}

TEST(Verdict, TextsAndKeys) {
    const std::pair<Verdict, std::pair<const char*, const char*>> names[] = {
        {Verdict::Line, {"unique (line logic)", "line"}},
        {Verdict::Search, {"unique (needs search)", "search"}},
        {Verdict::Several, {"several solutions", "several"}},
        {Verdict::Blank, {"blank", "blank"}},
        {Verdict::Undecided, {"undecided (time limit)", "undecided"}},
    };
    for (const auto& [verdict, texts] : names) {
        EXPECT_STREQ(VerdictText(verdict), texts.first);
        EXPECT_STREQ(VerdictKey(verdict), texts.second);
    }
}

}  // namespace
}  // namespace grix
