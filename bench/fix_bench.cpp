// The fewest-cells fix at work: random ambiguous pictures (side, share of
// ink; drawn from a fixed seed until 8 have clues with several solutions),
// each mended with the default limits (10 s, 8 cells), asking for a unique
// solution or (line = 1) one that line logic reaches. Counters, over the
// pictures of one set (wall-clock time, as the budget is):
//   first_ms     median time to the first fix found
//   first_max_ms slowest first fix
//   proven_ms    median time to the proven fewest, over those proven
//   proven_pct   share of pictures whose fewest was proven within the budget
//   found_pct    share of pictures with a fix at all
//   cells        mean cells changed
//   checks       mean CheckCells calls
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "puzzle/fewest_fix.h"
#include "puzzle/solvability.h"

namespace {

using grix::CellGrid;
using grix::Verdict;

std::vector<CellGrid> Ambiguous(int side, double share, int count) {
    std::mt19937 random(static_cast<std::uint32_t>(side * 7919));
    std::bernoulli_distribution ink(share);
    std::vector<CellGrid> grids;
    while (static_cast<int>(grids.size()) < count) {
        CellGrid grid{side, side, {}};
        for (int i = 0; i < side * side; ++i)
            grid.cells.push_back(ink(random));
        if (grix::CheckCells(grid, 5.0).verdict == Verdict::Several)
            grids.push_back(std::move(grid));
    }
    return grids;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void BM_Fix(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const std::vector<CellGrid> grids =
        Ambiguous(side, static_cast<double>(state.range(1)) / 100, 8);
    grix::FixLimits limits;
    limits.line_logic = state.range(2) != 0;
    std::vector<double> first, proven;
    double cells = 0, checks = 0;
    int found = 0;
    for (auto _ : state) {
        first.clear();
        proven.clear();
        cells = checks = 0;
        found = 0;
        for (const CellGrid& grid : grids) {
            const grix::FixResult result = grix::FindFewestFix(grid, limits);
            checks += result.checks;
            if (result.outcome != grix::FixOutcome::Fixed)
                continue;
            ++found;
            cells += static_cast<double>(result.changes.size());
            first.push_back(result.first_fix_seconds);
            if (result.proven_fewest)
                proven.push_back(result.proven_seconds);
        }
    }
    const auto n = static_cast<double>(grids.size());
    state.counters["first_ms"] = Median(first) * 1e3;
    state.counters["first_max_ms"] =
        first.empty() ? 0 : *std::max_element(first.begin(), first.end()) * 1e3;
    state.counters["proven_ms"] = Median(proven) * 1e3;
    state.counters["proven_pct"] = 100.0 * static_cast<double>(proven.size()) / n;
    state.counters["found_pct"] = 100.0 * found / n;
    state.counters["cells"] = found == 0 ? 0 : cells / found;
    state.counters["checks"] = checks / n;
}
BENCHMARK(BM_Fix)
    ->ArgNames({"side", "ink", "line"})
    ->Args({15, 60, 0})
    ->Args({30, 60, 0})
    ->Args({60, 60, 0})
    ->Args({15, 50, 0})
    ->Args({30, 50, 0})
    ->Args({15, 60, 1})
    ->Args({30, 60, 1})
    ->Args({60, 60, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
