// The BMP reader at work on large pictures: load a 4096 x 4096 picture and
// read every pixel through AsBitmap and PixelColor, the way the pack writer
// and the preview do, next to a plain read of the same file's bytes.
// items_per_second counts pixels; time per megapixel is its inverse.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cells/pack_picture.h"
#include "core/file.h"
#include "imaging/picture.h"

namespace {

constexpr std::int32_t kSide = 4096;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A bottom-up BI_RGB picture of kSide x kSide pixels with a varied pattern.
std::vector<std::uint8_t> MakeBmp(int bpp) {
    const std::uint32_t stride = (kSide * bpp + 31) / 32 * 4;
    const std::uint32_t table = bpp == 1 ? 8 : 0;
    const std::uint32_t data = stride * kSide;
    std::vector<std::uint8_t> out;
    out.reserve(54 + table + data);
    Put16(out, 0x4D42);
    Put32(out, 54 + table + data);
    Put32(out, 0);
    Put32(out, 54 + table);
    Put32(out, 40);
    Put32(out, kSide);
    Put32(out, kSide);
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bpp));
    Put32(out, 0);
    Put32(out, data);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    if (bpp == 1) {
        Put32(out, 0x00FFFFFF);
        Put32(out, 0);
    }
    std::uint32_t seed = 12345;
    for (std::uint32_t i = 0; i < data; ++i) {
        seed = seed * 1103515245 + 12345;
        out.push_back(static_cast<std::uint8_t>(seed >> 16));
    }
    return out;
}

class Samples {
  public:
    Samples()
        : dir_(std::filesystem::temp_directory_path() /
               ("grix-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(dir_);
        grix::WriteWholeFile(Path(24), MakeBmp(24));
        grix::WriteWholeFile(Path(1), MakeBmp(1));
    }
    ~Samples() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string Path(int bpp) const {
        return (dir_ / ("bench" + std::to_string(bpp) + ".bmp")).string();
    }

  private:
    std::filesystem::path dir_;
};

const Samples& TheSamples() {
    static const Samples samples;
    return samples;
}

void LoadAndReadEveryPixel(benchmark::State& state, int bpp) {
    const std::string path = TheSamples().Path(bpp);
    for (auto _ : state) {
        grix::TPicture picture;
        picture.LoadPictureFile(path);
        std::uint64_t ink = 0;
        for (std::int32_t y = 0; y < picture.Height(); ++y) {
            for (std::int32_t x = 0; x < picture.Width(); ++x) {
                ink += grix::IsInk(picture.AsBitmap().PixelColor(x, y));
            }
        }
        benchmark::DoNotOptimize(ink);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t{kSide} * kSide);
}

void LoadOnly(benchmark::State& state, int bpp) {
    const std::string path = TheSamples().Path(bpp);
    for (auto _ : state) {
        grix::TPicture picture;
        picture.LoadPictureFile(path);
        benchmark::DoNotOptimize(picture.Width());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t{kSide} * kSide);
}

void ReadFileBytes(benchmark::State& state, int bpp) {
    const std::string path = TheSamples().Path(bpp);
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = grix::ReadWholeFile(path);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t{kSide} * kSide);
}

BENCHMARK_CAPTURE(LoadAndReadEveryPixel, bpp24, 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadOnly, bpp24, 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFileBytes, bpp24, 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndReadEveryPixel, bpp1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadOnly, bpp1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFileBytes, bpp1, 1)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
