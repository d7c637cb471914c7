#include "convert/fair_search.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "convert/cell_scaling.h"
#include "convert/cell_threshold.h"

namespace grix {
namespace {

struct Candidate {
    std::int64_t score;  // |threshold step| x height + |height step| x 255
    int height_step;
    int threshold_step;
    int threshold;
    int height;
};

std::vector<Candidate> Candidates(const FairSearchStart& start, const FairSearchLimits& limits) {
    const int height_radius =
        start.vary_height ? static_cast<int>(std::floor(limits.height_share * start.height)) : 0;
    const int t_low = std::max(0, start.threshold - limits.threshold_radius);
    const int t_high = std::min(255, start.threshold + limits.threshold_radius);
    std::vector<Candidate> candidates;
    for (int h = start.height - height_radius; h <= start.height + height_radius; ++h) {
        if (h < 1 || h > kMaxCellSide)
            continue;
        for (int t = t_low; t <= t_high; ++t) {
            const int dh = std::abs(h - start.height);
            const int dt = std::abs(t - start.threshold);
            candidates.push_back(
                {std::int64_t{dt} * start.height + std::int64_t{dh} * 255, dh, dt, t, h});
        }
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (a.score != b.score)
            return a.score < b.score;
        if (a.height_step != b.height_step)
            return a.height_step < b.height_step;
        if (a.threshold_step != b.threshold_step)
            return a.threshold_step < b.threshold_step;
        if (a.threshold != b.threshold)
            return a.threshold < b.threshold;
        return a.height < b.height;
    });
    return candidates;
}

}  // namespace

FairSearchResult FindFairCells(const LumaImage& picture, const FairSearchStart& start,
                               const FairSearchLimits& limits, const std::atomic<bool>* cancel) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(limits.total_seconds));
    FairSearchResult result;
    std::map<int, CellLuma> scaled;                     // by height
    std::unordered_map<std::string, Verdict> verdicts;  // by height and cells

    for (const Candidate& candidate : Candidates(start, limits)) {
        if (cancel != nullptr && cancel->load()) {
            result.stopped = true;
            break;
        }
        auto luma = scaled.find(candidate.height);
        if (luma == scaled.end())
            luma =
                scaled
                    .emplace(candidate.height, AreaAverage(picture, start.width, candidate.height))
                    .first;
        CellGrid cells = ThresholdCells(luma->second, candidate.threshold, start.invert);

        std::string key(reinterpret_cast<const char*>(cells.cells.data()), cells.cells.size());
        key += std::to_string(candidate.height);
        auto known = verdicts.find(key);
        if (known == verdicts.end()) {
            const double left = std::chrono::duration<double>(deadline - Clock::now()).count();
            if (left <= 0) {
                result.stopped = true;
                break;
            }
            const CheckResult check =
                CheckCells(cells, std::min(limits.check_seconds, left), cancel);
            ++result.checked;
            known = verdicts.emplace(std::move(key), check.verdict).first;
        } else {
            continue;  // the same grid, already weighed at a closer candidate
        }
        const Verdict verdict = known->second;
        if (verdict == Verdict::Line) {
            result.line =
                FairCandidate{candidate.threshold, candidate.height, std::move(cells), verdict};
            break;
        }
        if (verdict == Verdict::Search && !result.search)
            result.search =
                FairCandidate{candidate.threshold, candidate.height, std::move(cells), verdict};
    }
    return result;
}

}  // namespace grix
