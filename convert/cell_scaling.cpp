#include "convert/cell_scaling.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace grix {
namespace {

// The source pixels one cell covers along an axis, each with the length of
// its overlap with the cell.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

// Cell i covers [i x source / cells, (i + 1) x source / cells).
std::vector<Span> Spans(int source, int cells) {
    std::vector<Span> spans(static_cast<std::size_t>(cells));
    for (int i = 0; i < cells; ++i) {
        const double begin = static_cast<double>(std::int64_t{i} * source) / cells;
        const double end = static_cast<double>(std::int64_t{i + 1} * source) / cells;
        Span& span = spans[static_cast<std::size_t>(i)];
        span.first = static_cast<int>(std::floor(begin));
        const int last = std::min(source, static_cast<int>(std::ceil(end)));
        for (int p = span.first; p < last; ++p) {
            const double overlap = std::min(end, p + 1.0) - std::max(begin, double(p));
            span.weights.push_back(static_cast<float>(std::max(overlap, 0.0)));
        }
    }
    return spans;
}

constexpr int kMaxScaledSide = 1 << 16;

int RoundedRatio(std::int64_t numerator, std::int64_t denominator) {
    if (denominator <= 0)
        return 1;
    const std::int64_t value = (2 * numerator + denominator) / (2 * denominator);
    return static_cast<int>(std::clamp<std::int64_t>(value, 1, kMaxScaledSide));
}

}  // namespace

CellLuma AreaAverage(const LumaImage& source, int width, int height) {
    // Callers check sizes against their own limits; this only keeps the
    // arithmetic sound.
    if (width < 1 || height < 1 || width > kMaxScaledSide || height > kMaxScaledSide)
        throw std::invalid_argument("scaled size out of range");
    CellLuma cells;
    cells.width = width;
    cells.height = height;
    cells.y.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 255.0f);
    if (source.width <= 0 || source.height <= 0)
        return cells;

    const std::vector<Span> columns = Spans(source.width, width);
    const std::vector<Span> rows = Spans(source.height, height);
    const double cell_area =
        (static_cast<double>(source.width) / width) * (static_cast<double>(source.height) / height);
    std::vector<float> row_sums(static_cast<std::size_t>(width));
    std::vector<double> sums(static_cast<std::size_t>(width));

    for (int cy = 0; cy < height; ++cy) {
        const Span& rows_of_cell = rows[static_cast<std::size_t>(cy)];
        std::fill(sums.begin(), sums.end(), 0.0);
        for (std::size_t r = 0; r < rows_of_cell.weights.size(); ++r) {
            const std::uint8_t* line =
                source.y.data() +
                static_cast<std::size_t>(rows_of_cell.first + static_cast<int>(r)) *
                    static_cast<std::size_t>(source.width);
            // Across first: each cell's covered part of this one row.
            for (int cx = 0; cx < width; ++cx) {
                const Span& span = columns[static_cast<std::size_t>(cx)];
                const std::uint8_t* p = line + span.first;
                float sum = 0;
                for (std::size_t k = 0; k < span.weights.size(); ++k)
                    sum += span.weights[k] * p[k];
                row_sums[static_cast<std::size_t>(cx)] = sum;
            }
            const double weight = rows_of_cell.weights[r];
            for (int cx = 0; cx < width; ++cx)
                sums[static_cast<std::size_t>(cx)] +=
                    weight * row_sums[static_cast<std::size_t>(cx)];
        }
        float* out =
            cells.y.data() + static_cast<std::size_t>(cy) * static_cast<std::size_t>(width);
        for (int cx = 0; cx < width; ++cx)
            out[cx] = static_cast<float>(sums[static_cast<std::size_t>(cx)] / cell_area);
    }
    return cells;
}

LumaImage ReduceLuma(const LumaImage& source, int width, int height) {
    const CellLuma cells = AreaAverage(source, width, height);
    LumaImage reduced;
    reduced.width = width;
    reduced.height = height;
    reduced.y.resize(cells.y.size());
    for (std::size_t i = 0; i < cells.y.size(); ++i)
        reduced.y[i] = static_cast<std::uint8_t>(std::clamp(std::lround(cells.y[i]), 0L, 255L));
    return reduced;
}

int HeightForWidth(std::int64_t source_width, std::int64_t source_height, int width) {
    return RoundedRatio(source_height * width, source_width);
}

std::int64_t FullHeightForWidth(std::int64_t source_width, std::int64_t source_height, int width) {
    if (source_width <= 0)
        return 1;
    return std::max<std::int64_t>(1,
                                  (2 * source_height * width + source_width) / (2 * source_width));
}

int WidthForHeight(std::int64_t source_width, std::int64_t source_height, int height) {
    return RoundedRatio(source_width * height, source_height);
}

}  // namespace grix
