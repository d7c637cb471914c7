// Importing a photo: decoding a 12-megapixel JPEG and converting it to
// 40 x 30 cells, against libjpeg-turbo decoding the same file bare; and the
// import dialog's live preview, one threshold or size change on its cached
// reduced copy plus the check of the result. Targets: the import at most
// 1.3 x the bare decode (faster with DCT scaling); a preview update under
// one frame (16 ms) for 40 x 40 cells.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "convert/cell_scaling.h"
#include "convert/import_preview.h"
#include "convert/picture_conversion.h"
#include "import/picture_reader.h"
#include "puzzle/solvability.h"

namespace {

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;

// A 4000 x 3000 picture of a house under a sun on a sky, with a little
// grain so that the JPEG's coefficients are not all zero, at camera-like
// quality 90 with 4:2:0 chroma. Made once per program.
const std::vector<std::uint8_t>& Photo() {
    static const std::vector<std::uint8_t> jpeg = [] {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kPhotoWidth) * kPhotoHeight * 3);
        std::uint32_t grain = 12345;
        for (int y = 0; y < kPhotoHeight; ++y) {
            for (int x = 0; x < kPhotoWidth; ++x) {
                const double u = x / 10.0, v = y / 10.0;  // a 400 x 300 drawing, enlarged
                int r = 200 + static_cast<int>(45 * v / 300),
                    g = 225 + static_cast<int>(20 * v / 300),
                    b = 255 - static_cast<int>(20 * v / 300);
                if (std::hypot(u - 320, v - 70) < 40)
                    r = 250, g = 180, b = 40;
                const bool walls = u >= 90 && u < 260 && v >= 150 && v < 270;
                const bool roof = v >= 60 && v < 155 && std::abs(u - 175) < (v - 60) * 105 / 95;
                if (walls || roof)
                    r = 60, g = 40, b = 30;
                if ((u >= 120 && u < 160 && v >= 180 && v < 220) ||
                    (u >= 195 && u < 230 && v >= 200 && v < 270))
                    r = 240, g = 230, b = 160;
                if (v >= 270)
                    r = 40, g = 110, b = 40;
                grain = grain * 1664525u + 1013904223u;
                const int noise = static_cast<int>(grain >> 28) - 8;
                std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * kPhotoWidth + x) * 3;
                p[0] = static_cast<std::uint8_t>(std::clamp(r + noise, 0, 255));
                p[1] = static_cast<std::uint8_t>(std::clamp(g + noise, 0, 255));
                p[2] = static_cast<std::uint8_t>(std::clamp(b + noise, 0, 255));
            }
        }
        tjhandle handle = tjInitCompress();
        unsigned char* out = nullptr;
        unsigned long size = 0;
        tjCompress2(handle, rgb.data(), kPhotoWidth, 0, kPhotoHeight, TJPF_RGB, &out, &size,
                    TJSAMP_420, 90, 0);
        tjDestroy(handle);
        std::vector<std::uint8_t> bytes(out, out + size);
        tjFree(out);
        return bytes;
    }();
    return jpeg;
}

// libjpeg-turbo alone: the whole picture decoded to RGB (arg 0) or to its
// grey component (arg 1), nothing else.
void BM_BareTurboJpegDecode12MP(benchmark::State& state) {
    const std::vector<std::uint8_t>& jpeg = Photo();
    const bool grey = state.range(0) == 1;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kPhotoWidth) * kPhotoHeight *
                                     (grey ? 1 : 3));
    tjhandle handle = tjInitDecompress();
    for (auto _ : state) {
        tjDecompress2(handle, jpeg.data(), jpeg.size(), pixels.data(), kPhotoWidth, 0, kPhotoHeight,
                      grey ? TJPF_GRAY : TJPF_RGB, 0);
        benchmark::DoNotOptimize(pixels.data());
    }
    tjDestroy(handle);
    state.SetLabel(grey ? "grey" : "RGB");
}
BENCHMARK(BM_BareTurboJpegDecode12MP)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// grix-cli convert's work without the files: decode (arg 1: at the reduced
// size 40 cells need, by DCT scaling; arg 0: in full), scale to 40 x 30
// cells, automatic threshold.
void BM_ImportJpeg12MPTo40x30(benchmark::State& state) {
    const std::vector<std::uint8_t>& jpeg = Photo();
    grix::ConversionRequest request;
    request.width = 40;
    grix::ReadOptions options;
    if (state.range(0) == 1)
        options.min_width = request.width * grix::kPixelsPerCell;
    for (auto _ : state) {
        const grix::DecodedPicture picture =
            grix::DecodePicture(jpeg.data(), jpeg.size(), "photo.jpg", options);
        const grix::ConvertedPicture cells = grix::ConvertPicture(picture, request);
        benchmark::DoNotOptimize(cells.cells.cells.data());
        state.SetLabel(std::to_string(picture.luma.width) + " x " +
                       std::to_string(picture.luma.height) + " decoded, " +
                       std::to_string(cells.cells.width) + " x " +
                       std::to_string(cells.cells.height) + " cells");
    }
}
BENCHMARK(BM_ImportJpeg12MPTo40x30)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Opening the import dialog: decode once and keep the reduced copy.
void BM_ImportDialogOpen12MP(benchmark::State& state) {
    const std::vector<std::uint8_t>& jpeg = Photo();
    grix::ReadOptions options;
    options.min_width = options.min_height = grix::ImportPreview::kReducedSide;
    for (auto _ : state) {
        const grix::ImportPreview preview = grix::ImportPreview::FromPicture(
            grix::DecodePicture(jpeg.data(), jpeg.size(), "photo.jpg", options));
        benchmark::DoNotOptimize(preview.Reduced().y.data());
    }
}
BENCHMARK(BM_ImportDialogOpen12MP)->Unit(benchmark::kMillisecond);

// One live-preview update at 40 x 40 cells: the threshold moved (arg 0:
// the cached cell luminance thresholded again) or the size changed (arg 1:
// the reduced copy scaled again), then the check of the cells.
void BM_ImportPreviewUpdate40x40(benchmark::State& state) {
    const std::vector<std::uint8_t>& jpeg = Photo();
    grix::ReadOptions options;
    options.min_width = options.min_height = grix::ImportPreview::kReducedSide;
    grix::ImportPreview preview = grix::ImportPreview::FromPicture(
        grix::DecodePicture(jpeg.data(), jpeg.size(), "photo.jpg", options));
    const bool resize = state.range(0) == 1;
    grix::ConversionRequest request;
    request.width = 40;
    request.height = 40;
    request.threshold = 120;
    int step = 0;
    grix::Verdict verdict = grix::Verdict::Undecided;
    for (auto _ : state) {
        ++step;
        if (resize) {
            request.width = 39 + step % 2;  // 39 and 40 in turn
        } else {
            request.threshold = 118 + step % 5;
        }
        const grix::ConvertedPicture cells = preview.Convert(request);
        verdict = grix::CheckCells(cells.cells).verdict;
        benchmark::DoNotOptimize(verdict);
    }
    state.SetLabel(std::string(resize ? "size change" : "threshold change") +
                   ", last: " + grix::VerdictText(verdict));
}
BENCHMARK(BM_ImportPreviewUpdate40x40)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
