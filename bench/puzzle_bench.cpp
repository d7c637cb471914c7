// The solvability check at work. Pictures are random grids with a given
// share of ink, drawn from a fixed seed; "line-solvable" sets keep drawing
// until they hold enough grids that line logic solves; published puzzles
// come from files the reader names with GRIX_PUZZLES. Counters:
//   median_ms     median time of one picture's check, in CPU time of the
//                 checking thread (other work on a shared machine does not
//                 count; the budget itself is wall-clock time)
//   per_picture   mean time of one picture's check (CPU time)
//   unique_pct, line_pct, decided_pct  shares of verdicts
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "puzzle/puzzle_grids.h"
#include "puzzle/solvability.h"
#include "puzzle_files.h"
#include "support/bmp_file.h"

namespace {

using grix::CellGrid;
using grix::CheckCells;
using grix::Verdict;

CellGrid RandomGrid(int side, double ink, std::mt19937& random) {
    return grix::Random(side, side, ink, random);
}

std::vector<CellGrid> RandomGrids(int count, int side, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<CellGrid> grids;
    for (int i = 0; i < count; ++i)
        grids.push_back(RandomGrid(side, 0.5, random));
    return grids;
}

std::vector<CellGrid> LineSolvable(int side, double ink, int count) {
    std::mt19937 random(static_cast<unsigned>(side * 1000 + ink * 100));
    std::vector<CellGrid> grids;
    while (static_cast<int>(grids.size()) < count) {
        CellGrid grid = RandomGrid(side, ink, random);
        if (CheckCells(grid, 5.0).verdict == Verdict::Line)
            grids.push_back(std::move(grid));
    }
    return grids;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Checks each picture of a line-solvable set in turn; each iteration is
// Checks every grid once, adding each check's thread time to `times`.
std::vector<grix::CheckResult> TimedChecks(const std::vector<CellGrid>& grids,
                                           std::vector<double>& times,
                                           double budget = grix::kDefaultCheckBudget) {
    std::vector<grix::CheckResult> results;
    for (const CellGrid& grid : grids) {
        const double start = ThreadSeconds();
        results.push_back(CheckCells(grid, budget));
        times.push_back(ThreadSeconds() - start);
    }
    return results;
}

// one whole set.
void BM_LineSolvable(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const double ink = static_cast<double>(state.range(1)) / 100;
    const std::vector<CellGrid> grids = LineSolvable(side, ink, side >= 100 ? 8 : 16);
    std::vector<double> times;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TimedChecks(grids, times));
    }
    state.counters["median_ms"] = Median(times) * 1e3;
    state.counters["per_picture"] = benchmark::Counter(
        static_cast<double>(grids.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LineSolvable)
    ->Args({30, 60})
    ->Args({30, 70})
    ->Args({25, 80})
    ->Args({30, 80})
    ->Args({50, 80})
    ->Args({100, 80})
    ->Args({200, 80})
    ->Unit(benchmark::kMillisecond);

// Unique pictures that line logic alone does not solve: random 30 x 30
// grids at 50 % ink, drawn until enough of them have one solution.
void BM_NeedsSearch(benchmark::State& state) {
    std::mt19937 random(3030);
    std::vector<CellGrid> grids;
    while (grids.size() < 8) {
        CellGrid grid = RandomGrid(30, 0.5, random);
        if (CheckCells(grid, 10.0).verdict == Verdict::Search)
            grids.push_back(std::move(grid));
    }
    std::vector<double> times;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TimedChecks(grids, times));
    }
    state.counters["median_ms"] = Median(times) * 1e3;
    state.counters["worst_ms"] = *std::max_element(times.begin(), times.end()) * 1e3;
}
BENCHMARK(BM_NeedsSearch)->Unit(benchmark::kMillisecond);

// 5,000 random 5 x 5 grids (every grid equally likely): of all 5 x 5 grids
// 75.4 % are unique and 74.4 % line-solvable.
void BM_Random5x5(benchmark::State& state) {
    constexpr int kGrids = 5000;
    const std::vector<CellGrid> grids = RandomGrids(kGrids, 5, 55);
    int unique = 0;
    int line = 0;
    for (auto _ : state) {
        unique = line = 0;
        for (const CellGrid& grid : grids) {
            const Verdict verdict = CheckCells(grid).verdict;
            unique += verdict != Verdict::Several && verdict != Verdict::Undecided;
            line += verdict == Verdict::Line || verdict == Verdict::Blank;
        }
    }
    state.counters["unique_pct"] = 100.0 * unique / kGrids;
    state.counters["line_pct"] = 100.0 * line / kGrids;
}
BENCHMARK(BM_Random5x5)->Unit(benchmark::kMillisecond);

// 200 random 25 x 25 grids at 50 % ink, one second each at most.
void BM_Random25x25(benchmark::State& state) {
    constexpr int kGrids = 200;
    const std::vector<CellGrid> grids = RandomGrids(kGrids, 25, 2525);
    std::vector<double> times;
    int decided = 0;
    int unique = 0;
    for (auto _ : state) {
        times.clear();
        decided = unique = 0;
        for (const grix::CheckResult& result : TimedChecks(grids, times, 1.0)) {
            decided += result.verdict != Verdict::Undecided;
            unique += result.verdict == Verdict::Line || result.verdict == Verdict::Search;
        }
    }
    state.counters["decided_pct"] = 100.0 * decided / kGrids;
    state.counters["unique_pct"] = 100.0 * unique / kGrids;
    state.counters["median_ms"] = Median(times) * 1e3;
    state.counters["max_ms"] = *std::max_element(times.begin(), times.end()) * 1e3;
}
BENCHMARK(BM_Random25x25)->Unit(benchmark::kMillisecond)->Iterations(1);

// Random 50 % grids of the given side: all have several solutions, mostly
// through switches.
void BM_RandomAmbiguous(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const std::vector<CellGrid> grids = RandomGrids(8, side, static_cast<std::uint32_t>(side));
    std::vector<double> times;
    int several = 0;
    for (auto _ : state) {
        several = 0;
        for (const grix::CheckResult& result : TimedChecks(grids, times))
            several += result.verdict == Verdict::Several;
    }
    state.counters["median_ms"] = Median(times) * 1e3;
    state.counters["several_pct"] = 100.0 * several / static_cast<double>(grids.size());
}
BENCHMARK(BM_RandomAmbiguous)->Arg(100)->Arg(255)->Unit(benchmark::kMillisecond);

// Growth with the side: a triangle line logic solves, with two interleaved
// rows (".#.#" over "#.#.") planted in the empty corner, a swap of eight
// cells that no four-cell switch makes, found by the nearby search.
void BM_PlantedSwapGrowth(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    CellGrid grid{side, side, std::vector<std::uint8_t>(static_cast<std::size_t>(side) * side)};
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x + y < side / 2; ++x)
            grid.cells[static_cast<std::size_t>(y * side + x)] = 1;
    }
    const char* plant[] = {".#.#", "#.#."};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            grid.cells[static_cast<std::size_t>((side - 3 + y) * side + side - 5 + x)] =
                plant[y][x] == '#';
        }
    }
    Verdict verdict = Verdict::Undecided;
    for (auto _ : state)
        verdict = CheckCells(grid).verdict;
    state.SetLabel(grix::VerdictKey(verdict));
}
BENCHMARK(BM_PlantedSwapGrowth)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Arg(150)
    ->Arg(200)
    ->Arg(255)
    ->Unit(benchmark::kMillisecond);

// Growth of a uniqueness proof: copies of unique 30 x 30 pictures that
// need search along a filled square's diagonal (side 31 x copies).
void BM_UniqueGrowth(benchmark::State& state) {
    const CellGrid grid = grix::SlowGrid(static_cast<int>(state.range(0)));
    Verdict verdict = Verdict::Undecided;
    for (auto _ : state)
        verdict = CheckCells(grid, 60.0).verdict;
    state.SetLabel(std::to_string(grid.width) + " " + grix::VerdictKey(verdict));
}
BENCHMARK(BM_UniqueGrowth)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// 500 random grids of every size from 5 to 255 a side and 30 to 70 % ink,
// 2 s each at most, as an author's collection might hold them.
void BM_RandomMixed(benchmark::State& state) {
    std::mt19937 random(500);
    std::vector<CellGrid> grids;
    for (int i = 0; i < 500; ++i) {
        const int side = 5 + static_cast<int>(random() % 251);
        const double ink = 0.3 + 0.1 * static_cast<double>(random() % 5);
        grids.push_back(grix::Random(side, side, ink, random));
    }
    int decided = 0;
    int several = 0;
    double slowest = 0;
    for (auto _ : state) {
        decided = several = 0;
        for (const CellGrid& grid : grids) {
            const grix::CheckResult result = CheckCells(grid, 2.0);
            decided += result.verdict != Verdict::Undecided;
            several += result.verdict == Verdict::Several;
            slowest = std::max(slowest, result.seconds);
        }
    }
    state.counters["decided_pct"] = 100.0 * decided / static_cast<double>(grids.size());
    state.counters["several_pct"] = 100.0 * several / static_cast<double>(grids.size());
    state.counters["slowest_s"] = slowest;
}
BENCHMARK(BM_RandomMixed)->Unit(benchmark::kMillisecond)->Iterations(1);

// Published puzzles, from the folder GRIX_PUZZLES names (see
// puzzle_files.h): each is solved from its clues once, then the check of
// that solution is timed, 60 s at most. With GRIX_PUZZLE_BMPS naming a
// folder, each solution is also written there as NAME.bmp, so that
// `grix-cli check` can be timed on it as a process of its own.
void RegisterPublished() {
    const char* folder = std::getenv("GRIX_PUZZLES");
    if (folder == nullptr)
        return;
    const char* pictures = std::getenv("GRIX_PUZZLE_BMPS");
    for (const grix::bench::PublishedPuzzle& puzzle : grix::bench::PuzzlesUnder(folder)) {
        CellGrid solution;
        bool late = false;
        if (!grix::SolveClues(puzzle.width, puzzle.height, puzzle.rows, puzzle.columns, solution,
                              60.0, &late)) {
            std::fprintf(stderr, "%s: %s\n", puzzle.name.c_str(),
                         late ? "not solved in 60 s" : "no solution");
            continue;
        }
        if (pictures != nullptr) {
            grix::test::WriteInkBmp(std::string(pictures) + "/" + puzzle.name + ".bmp",
                                    solution.width, solution.height, [&solution](int x, int y) {
                                        return solution.cells[static_cast<std::size_t>(
                                                   y * solution.width + x)] != 0;
                                    });
        }
        const std::string size = std::to_string(puzzle.width) + "x" + std::to_string(puzzle.height);
        benchmark::RegisterBenchmark(("BM_Published/" + puzzle.name).c_str(),
                                     [solution, size](benchmark::State& state) {
                                         Verdict verdict = Verdict::Undecided;
                                         for (auto _ : state)
                                             verdict = CheckCells(solution, 60.0).verdict;
                                         state.SetLabel(size + " " + grix::VerdictKey(verdict));
                                     })
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterPublished();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
