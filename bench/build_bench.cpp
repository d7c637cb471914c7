// Whole builds of 1, 10, 100 and 1000 pictures of 32 x 32 cells, and the
// JAR step alone against `zip -9 -r` plus an fsync over the same staging
// folder, in the same run.
//
//   build/bench/bench/build_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "archive/brask.h"
#include "builder/build_driver.h"
#include "builder/crossword_pack.h"
#include "builder/descriptors.h"
#include "builder/payload_store.h"
#include "core/file.h"

namespace {

namespace fs = std::filesystem;

// A 1-bit 32 x 32 picture with a random blob of ink, as a drawn puzzle would be.
std::vector<std::uint8_t> Picture(std::mt19937& random) {
    constexpr int kSide = 32, kRow = 4;
    std::vector<std::uint8_t> b(62 + kRow * kSide, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 62);
    put32(14, 40);
    put32(18, kSide);
    put32(22, kSide);
    b[26] = 1, b[28] = 1;
    put32(54, 0x00FFFFFF);  // index 0 white, index 1 black
    const int cx = 8 + static_cast<int>(random() % 16), cy = 8 + static_cast<int>(random() % 16);
    const int r = 5 + static_cast<int>(random() % 8);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) {
                b[62 + y * kRow + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return b;
}

struct Workspace {
    fs::path root;
    grix::CrosswordProject project;

    explicit Workspace(int pictures) {
        root = fs::temp_directory_path() / ("grix-build-bench-" + std::to_string(getpid()) + "-" +
                                            std::to_string(pictures));
        fs::remove_all(root);
        fs::create_directories(root / "pictures");
        std::mt19937 random(static_cast<unsigned>(pictures));
        project.name = "Bench";
        project.info = "Benchmark";
        project.list_empty = false;
        for (int i = 1; i <= pictures; ++i) {
            const std::string path = (root / "pictures" / (std::to_string(i) + ".bmp")).string();
            grix::WriteWholeFile(path, Picture(random));
            project.pictures.push_back({i, path, "32 * 32", "Puzzle " + std::to_string(i)});
        }
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string AppFolder() const { return root.string() + "/"; }
};

void WholeBuild(benchmark::State& state) {
    const int pictures = static_cast<int>(state.range(0));
    Workspace work(pictures);
    grix::TBrask brask;
    grix::ConfigureSuiteArchiver(brask);
    for (auto _ : state) {
        const grix::BuildOutcome outcome = grix::RunBuild(work.project, work.AppFolder(), brask, nullptr);
        if (!outcome.success) state.SkipWithError("build failed");
    }
    state.SetComplexityN(pictures);
    state.counters["per_picture_us"] = benchmark::Counter(
        static_cast<double>(pictures), benchmark::Counter::kIsIterationInvariantRate |
                                           benchmark::Counter::kInvert);
}
BENCHMARK(WholeBuild)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// A staging folder as a build leaves it just before the JAR step.
struct Staged : Workspace {
    std::string staging;
    explicit Staged(int pictures) : Workspace(pictures) {
        const grix::BuildFolders folders = grix::FoldersFor(AppFolder());
        fs::create_directories(folders.manifest);
        fs::create_directories(folders.suite);
        grix::WritePayload(folders.staging, nullptr);
        grix::WriteTextFile(grix::ManifestText("Bench", grix::kVendor),
                            folders.manifest + "/MANIFEST.MF", nullptr);
        (void)grix::WritePack(project, folders.staging + "/cfg.dat");
        staging = folders.staging;
    }
};

void JarStep(benchmark::State& state) {
    Staged work(static_cast<int>(state.range(0)));
    grix::TBrask brask;
    grix::ConfigureSuiteArchiver(brask);
    const std::string jar = (work.root / "midlets" / "Bench.jar").string();
    for (auto _ : state) {
        brask.SetFileName(jar);
        brask.Open(grix::kCreateMode);
        brask.SetBaseDir(work.staging);
        brask.AddFromBaseDir("*.*", grix::kDefaultSearchAttr, "");
        brask.Close();
    }
    state.counters["jar_bytes"] = static_cast<double>(fs::file_size(jar));
}
BENCHMARK(JarStep)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void ZipCommand(benchmark::State& state) {
    Staged work(static_cast<int>(state.range(0)));
    const std::string zip = (work.root / "midlets" / "Bench.zip").string();
    const std::string command = "cd '" + work.staging + "' && rm -f '" + zip + "' && zip -9 -r -q '" +
                                zip + "' . && sync '" + zip + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("zip failed (is zip installed?)");
    }
    state.counters["zip_bytes"] = static_cast<double>(fs::file_size(zip));
}
BENCHMARK(ZipCommand)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
