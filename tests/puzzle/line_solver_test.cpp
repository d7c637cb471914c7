// The line solver against hand-worked lines and against trying every
// filling of short lines.
#include "puzzle/line_solver.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "puzzle/clues.h"

namespace grix {
namespace {

// '?' unknown, '#' filled, '.' empty.
std::vector<std::uint8_t> Cells(const std::string& text) {
    std::vector<std::uint8_t> cells;
    for (const char c : text)
        cells.push_back(c == '#' ? kMayFill : c == '.' ? kMayEmpty : kUnknown);
    return cells;
}

std::string Text(const std::vector<std::uint8_t>& cells) {
    std::string text;
    for (const auto c : cells)
        text += c == kMayFill ? '#' : c == kMayEmpty ? '.' : '?';
    return text;
}

TEST(LineSolver, FindsEveryForcedCell) {
    struct Case {
        LineClue clue;
        const char* before;
        const char* after;  // nullptr: no placement fits
    };
    const Case cases[] = {
        {{3}, "?????", "??#??"},   {{3, 1}, "??????", "?##???"},   {{1, 1, 1}, "?????", "#.#.#"},
        {{}, "????", "...."},      {{4}, "????", "####"},          {{2}, "?.??", "..##"},
        {{1}, "?#??", ".#.."},     {{2, 2}, "??#?#??", ".##.##."}, {{1, 2}, "#????", "#.?#?"},
        {{2}, ".##", ".##"},       {{}, "?#?", nullptr},           {{1}, ".##", nullptr},
        {{3}, "??#??.#", nullptr}, {{2, 2}, "????", nullptr},      {{1}, "", nullptr},
    };
    LineSolver solver;
    for (const Case& c : cases) {
        std::vector<std::uint8_t> cells = Cells(c.before);
        const bool fits = solver.Solve(c.clue, cells.data(), static_cast<int>(cells.size()));
        if (c.after == nullptr) {
            EXPECT_FALSE(fits) << c.before;
            EXPECT_EQ(Text(cells), c.before) << "left as it was";
        } else {
            EXPECT_TRUE(fits) << c.before;
            EXPECT_EQ(Text(cells), c.after) << c.before;
        }
    }
}

// Exactness: on random clues and partly known lines, a cell is settled
// exactly when every filling that fits agrees on it.
TEST(LineSolver, AgreesWithTryingEveryFilling) {
    std::mt19937 random(7);
    LineSolver solver;
    for (int trial = 0; trial < 3000; ++trial) {
        const int length = 1 + static_cast<int>(random() % 11);
        std::vector<std::uint8_t> picture(static_cast<std::size_t>(length));
        for (auto& cell : picture)
            cell = random() % 2;
        CellGrid row{length, 1, picture};
        // Usually the picture's own clue; sometimes another line's, which
        // may not fit at all.
        if (random() % 4 == 0) {
            for (auto& cell : row.cells)
                cell = random() % 2;
        }
        const LineClue clue = RowClues(row)[0];
        std::vector<std::uint8_t> cells(picture.size());
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const unsigned pick = random() % 3;
            cells[i] = pick == 0 ? kUnknown : picture[i] != 0 ? kMayFill : kMayEmpty;
        }

        std::vector<std::uint8_t> possible(cells.size(), kNoValue);
        bool any = false;
        for (unsigned bits = 0; bits < (1u << length); ++bits) {
            CellGrid filling{length, 1, std::vector<std::uint8_t>(cells.size())};
            bool fits = true;
            for (int i = 0; i < length; ++i) {
                filling.cells[static_cast<std::size_t>(i)] = (bits >> i) & 1;
                const std::uint8_t value = ((bits >> i) & 1) != 0 ? kMayFill : kMayEmpty;
                fits &= (cells[static_cast<std::size_t>(i)] & value) != 0;
            }
            if (!fits || RowClues(filling)[0] != clue)
                continue;
            any = true;
            for (int i = 0; i < length; ++i) {
                possible[static_cast<std::size_t>(i)] |=
                    ((bits >> i) & 1) != 0 ? kMayFill : kMayEmpty;
            }
        }
        const std::string before = Text(cells);
        std::vector<std::uint8_t> by_tables = cells;
        ASSERT_EQ(solver.SolveByMasks(clue.data(), clue.size(), cells.data(), length), any)
            << before;
        ASSERT_EQ(solver.SolveByTables(clue.data(), clue.size(), by_tables.data(), length), any)
            << before;
        if (any) {
            ASSERT_EQ(Text(cells), Text(possible)) << before;
            ASSERT_EQ(Text(by_tables), Text(possible)) << before;
        }
    }
}

// Lines too long to try every filling: the two forms against each other,
// up to the longest line the masks take.
TEST(LineSolver, MasksAndTablesAgreeOnLongLines) {
    std::mt19937 random(8);
    LineSolver solver;
    for (int trial = 0; trial < 3000; ++trial) {
        const int length = 12 + static_cast<int>(random() % (LineSolver::kMaskCells - 11));
        std::bernoulli_distribution ink(0.3 + 0.1 * static_cast<double>(random() % 5));
        CellGrid row{length, 1, {}};
        for (int i = 0; i < length; ++i)
            row.cells.push_back(ink(random));
        const LineClue clue = RowClues(row)[0];
        std::vector<std::uint8_t> cells(row.cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i) {
            cells[i] = random() % 2 == 0 ? kUnknown : row.cells[i] != 0 ? kMayFill : kMayEmpty;
        }
        if (random() % 8 == 0) {
            // A known cell turned over, which often contradicts the clue.
            std::uint8_t& cell = cells[random() % cells.size()];
            if (cell != kUnknown)
                cell = static_cast<std::uint8_t>(kUnknown - cell);
        }
        std::vector<std::uint8_t> by_tables = cells;
        const std::string before = Text(cells);
        const bool fits = solver.SolveByMasks(clue.data(), clue.size(), cells.data(), length);
        ASSERT_EQ(solver.SolveByTables(clue.data(), clue.size(), by_tables.data(), length), fits)
            << before;
        ASSERT_EQ(Text(cells), Text(by_tables)) << before;
    }
}

}  // namespace
}  // namespace grix
