// Redrawing the preview: what every click on the picture list, zoom change
// and resize step costs. The picture is loaded from its file each time, as
// the window does. Target: well under one frame (16 ms).
#include <benchmark/benchmark.h>

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/preview.h"
#include "support/bmp_file.h"

namespace {

// A 24-bit BMP with a diagonal pattern, so about half the cells are ink.
std::string WritePicture(int width, int height) {
    const auto path =
        std::filesystem::temp_directory_path() /
        ("grix-preview-bench-" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
    grix::test::WriteInkBmp(path.string(), width, height,
                            [](int x, int y) { return (x + y) % 3 == 0; });
    return path.string();
}

// Zoom index 9 ("1000%", ten pixels per cell) with grid: an 1,100 x 1,100
// canvas, so the surface grows past the panel and scrolls. Panel sizes: the
// window's initial one and a maximised one.
void BM_PreviewRedraw100x100At1000PercentWithGrid(benchmark::State& state) {
    const std::string path = WritePicture(100, 100);
    QImage surface;  // DrawPreview sizes it to the panel or the canvas
    const QSize panel(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        grix::DrawPreview(surface, QColor(240, 240, 240),
                          grix::PreviewRequest{path, 9, true, panel, {}});
        benchmark::DoNotOptimize(surface.constBits());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_PreviewRedraw100x100At1000PercentWithGrid)
    ->Args({222, 345})
    ->Args({1200, 900})
    ->Unit(benchmark::kMicrosecond);

// The small pictures phones get: 20 x 20 at "400%" with grid, and at Fit.
void BM_PreviewRedraw20x20At400PercentWithGrid(benchmark::State& state) {
    const std::string path = WritePicture(20, 20);
    QImage surface;  // DrawPreview sizes it to the panel or the canvas
    for (auto _ : state) {
        grix::DrawPreview(surface, QColor(240, 240, 240),
                          grix::PreviewRequest{path, 3, true, QSize(222, 345), {}});
        benchmark::DoNotOptimize(surface.constBits());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_PreviewRedraw20x20At400PercentWithGrid)->Unit(benchmark::kMicrosecond);

void BM_PreviewRedraw20x20AtFitWithGrid(benchmark::State& state) {
    const std::string path = WritePicture(20, 20);
    QImage surface;
    for (auto _ : state) {
        grix::DrawPreview(surface, QColor(240, 240, 240),
                          grix::PreviewRequest{path, grix::kFitZoomIndex, true, QSize(222, 345), {}});
        benchmark::DoNotOptimize(surface.constBits());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_PreviewRedraw20x20AtFitWithGrid)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
