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

namespace {

// A 24-bit BMP with a diagonal pattern, so about half the cells are ink.
std::string WritePicture(int width, int height) {
    const auto path =
        std::filesystem::temp_directory_path() /
        ("grix-preview-bench-" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
    const int row = (width * 3 + 3) / 4 * 4;
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(row * height);
    std::vector<std::uint8_t> b(size, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    b[26] = 1, b[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t v = (x + y) % 3 == 0 ? 0 : 255;
            const std::size_t at = 54 + static_cast<std::size_t>(y * row + x * 3);
            b[at] = b[at + 1] = b[at + 2] = v;
        }
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return path.string();
}

// Zoom index 9 ("1000%") with grid: pitch 10, a 1000 x 1000 canvas cut to
// the 640 x 480 surface. Panel sizes: the window's initial one and a
// maximised one.
void BM_PreviewRedraw100x100At1000PercentWithGrid(benchmark::State& state) {
    const std::string path = WritePicture(100, 100);
    QImage surface(grix::kPreviewWidth, grix::kPreviewHeight, QImage::Format_RGB32);
    const QSize panel(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        grix::DrawPreview(surface, QColor(240, 240, 240),
                          grix::PreviewRequest{path, 9, true, panel});
        benchmark::DoNotOptimize(surface.constBits());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_PreviewRedraw100x100At1000PercentWithGrid)
    ->Args({222, 345})
    ->Args({1200, 900})
    ->Unit(benchmark::kMicrosecond);

// The small pictures phones get: 20 x 20 at "400%" with grid.
void BM_PreviewRedraw20x20At400PercentWithGrid(benchmark::State& state) {
    const std::string path = WritePicture(20, 20);
    QImage surface(grix::kPreviewWidth, grix::kPreviewHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        grix::DrawPreview(surface, QColor(240, 240, 240),
                          grix::PreviewRequest{path, 3, true, QSize(222, 345)});
        benchmark::DoNotOptimize(surface.constBits());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_PreviewRedraw20x20At400PercentWithGrid)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
