#include "convert/cell_threshold.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace grix {

int OtsuThreshold(const CellLuma& cells) {
    std::array<std::int64_t, 256> histogram{};
    for (const float y : cells.y)
        ++histogram[static_cast<std::size_t>(std::clamp(static_cast<int>(std::floor(y)), 0, 255))];
    if (std::count_if(histogram.begin(), histogram.end(), [](std::int64_t n) { return n > 0; }) < 2)
        return 128;

    std::int64_t total = 0;
    double total_sum = 0;
    for (int bin = 0; bin < 256; ++bin) {
        total += histogram[static_cast<std::size_t>(bin)];
        total_sum += static_cast<double>(bin) *
                     static_cast<double>(histogram[static_cast<std::size_t>(bin)]);
    }
    // Class 0 holds the bins below t. Between-class variance, up to the
    // constant 1 / total^2: w0 x w1 x (mean0 - mean1)^2.
    std::int64_t below = 0;
    double below_sum = 0;
    double best = -1;
    int best_t = 128;
    for (int t = 1; t < 256; ++t) {
        below += histogram[static_cast<std::size_t>(t - 1)];
        below_sum += static_cast<double>(t - 1) *
                     static_cast<double>(histogram[static_cast<std::size_t>(t - 1)]);
        const std::int64_t above = total - below;
        if (below == 0 || above == 0)
            continue;
        const double difference = below_sum / static_cast<double>(below) -
                                  (total_sum - below_sum) / static_cast<double>(above);
        const double variance =
            static_cast<double>(below) * static_cast<double>(above) * difference * difference;
        if (variance > best) {
            best = variance;
            best_t = t;
        }
    }
    // The same split holds for every t up to the next occupied bin.
    int last_t = best_t;
    while (last_t < 255 && histogram[static_cast<std::size_t>(last_t)] == 0)
        ++last_t;
    return (best_t + last_t) / 2;
}

CellGrid ThresholdCells(const CellLuma& cells, int threshold, bool invert) {
    CellGrid grid;
    grid.width = cells.width;
    grid.height = cells.height;
    grid.cells.resize(cells.y.size());
    const float limit = static_cast<float>(threshold);
    for (std::size_t i = 0; i < cells.y.size(); ++i)
        grid.cells[i] = static_cast<std::uint8_t>((cells.y[i] < limit) != invert);
    return grid;
}

}  // namespace grix
