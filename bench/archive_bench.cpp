// The archive writer against zlib's own deflate of the same bytes, at
// level 9: one 64 MiB file of mixed content, and a folder of 2,000 small
// files. Also reports the peak memory a JAR of the big file needs, which
// the chunk buffers bound whatever the file's size.
//
//   build/bench/bench/archive_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "archive/brask.h"
#include "core/file.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBigSize = 64u << 20;
constexpr int kSmallFiles = 2000;

// Content that compresses the way real suites do: text, packed binary
// records, already-compressed noise and runs of zeros, in 64 KiB pieces.
void AppendMixed(std::vector<std::uint8_t>& out, std::size_t size, std::mt19937& random) {
    static const char* const kWords[] = {"nonogram ", "picture ",  "cell ",  "row ",     "column ",
                                         "phone ",    "midlet ",   "suite ", "black ",   "white ",
                                         "puzzle\n",  "solved. ", "note: ", "level 9 ", "MIDP "};
    const std::size_t end = out.size() + size;
    while (out.size() < end) {
        const std::size_t piece = std::min<std::size_t>(65536, end - out.size());
        const std::size_t stop = out.size() + piece;
        switch (random() % 4) {
            case 0:
                while (out.size() < stop) {
                    for (const char* w = kWords[random() % 15]; *w && out.size() < stop; ++w) {
                        out.push_back(static_cast<std::uint8_t>(*w));
                    }
                }
                break;
            case 1: {
                std::uint32_t value = random();
                while (out.size() < stop) {
                    value += random() % 16;
                    out.push_back(static_cast<std::uint8_t>(value));
                    if (out.size() < stop) out.push_back(static_cast<std::uint8_t>(value >> 8));
                    if (out.size() < stop) out.push_back(static_cast<std::uint8_t>(random() % 4));
                    if (out.size() < stop) out.push_back(0);
                }
                break;
            }
            case 2:
                while (out.size() < stop) out.push_back(static_cast<std::uint8_t>(random()));
                break;
            default: out.resize(stop, 0); break;
        }
    }
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The sample folders, made once per run and removed at exit.
struct Samples {
    fs::path root = fs::temp_directory_path() / ("grix-bench-" + std::to_string(::getpid()));
    fs::path big = root / "big";
    fs::path small = root / "small";
    std::uintmax_t small_bytes = 0;

    Samples() {
        fs::create_directories(big);
        std::mt19937 random(42);
        {
            // Written piece by piece so that making it does not raise the
            // process's peak memory above what is measured.
            std::ofstream out(big / "mixed.bin", std::ios::binary);
            std::vector<std::uint8_t> piece;
            for (std::size_t done = 0; done < kBigSize; done += piece.size()) {
                piece.clear();
                AppendMixed(piece, 1 << 20, random);
                out.write(reinterpret_cast<const char*>(piece.data()),
                          static_cast<std::streamsize>(piece.size()));
            }
        }
        for (int i = 0; i < kSmallFiles; ++i) {
            const fs::path folder = small / fs::path("d").concat(std::to_string(i / 100));
            fs::create_directories(folder);
            std::vector<std::uint8_t> bytes;
            AppendMixed(bytes, 200 + random() % 16000, random);
            small_bytes += bytes.size();
            WriteFile(folder / fs::path("f").concat(std::to_string(i)).concat(".dat"), bytes);
        }
    }
    ~Samples() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

Samples& Data() {
    static Samples samples;
    return samples;
}

std::uintmax_t WriteJar(const fs::path& base, const fs::path& jar_path) {
    grix::TBrask jar("brask");
    jar.SetFileName(jar_path.string());
    jar.SetCompressionLevel(grix::clMax);
    jar.Options().OEMFileNames = false;
    jar.Open(grix::kCreateMode);
    jar.SetBaseDir(base.string());
    jar.AddFromBaseDir("*.*", grix::kDefaultSearchAttr);
    jar.Close();
    return fs::file_size(jar_path);
}

// zlib's deflate at level 9 over the whole buffer in one call.
std::size_t ZlibDeflate(const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>& out) {
    z_stream s{};
    if (deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
    out.resize(deflateBound(&s, in.size()));
    s.next_in = const_cast<Bytef*>(in.data());
    s.avail_in = static_cast<uInt>(in.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    if (deflate(&s, Z_FINISH) != Z_STREAM_END) std::abort();
    const std::size_t produced = s.total_out;
    deflateEnd(&s);
    return produced;
}

long ProcKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    }
    return -1;
}

// Resets the kernel's peak-RSS mark to the present RSS (Linux 4.0+).
bool ResetPeakRss() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

void BM_BigFile_TBrask(benchmark::State& state) {
    Samples& data = Data();
    const fs::path jar = data.root / "big.jar";
    std::uintmax_t size = 0;
    long peak_kib = -1;
    for (auto _ : state) {
        const bool measured = ResetPeakRss();
        const long before = ProcKiB("VmRSS:");
        size = WriteJar(data.big, jar);
        if (measured) peak_kib = std::max(peak_kib, ProcKiB("VmHWM:") - before);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBigSize));
    state.counters["out_MiB"] = static_cast<double>(size) / (1 << 20);
    state.counters["peak_rss_MiB"] = peak_kib < 0 ? -1 : static_cast<double>(peak_kib) / 1024;
}
BENCHMARK(BM_BigFile_TBrask)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BigFile_Zlib(benchmark::State& state) {
    Samples& data = Data();
    const std::vector<std::uint8_t> in = grix::ReadWholeFile((data.big / "mixed.bin").string());
    std::vector<std::uint8_t> out;
    std::size_t size = 0;
    for (auto _ : state) {
        size = ZlibDeflate(in, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBigSize));
    state.counters["out_MiB"] = static_cast<double>(size) / (1 << 20);
}
BENCHMARK(BM_BigFile_Zlib)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SmallFiles_TBrask(benchmark::State& state) {
    Samples& data = Data();
    const fs::path jar = data.root / "small.jar";
    std::uintmax_t size = 0;
    for (auto _ : state) size = WriteJar(data.small, jar);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.small_bytes));
    state.counters["out_MiB"] = static_cast<double>(size) / (1 << 20);
}
BENCHMARK(BM_SmallFiles_TBrask)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SmallFiles_Zlib(benchmark::State& state) {
    Samples& data = Data();
    std::vector<std::vector<std::uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(data.small)) {
        if (entry.is_regular_file()) files.push_back(grix::ReadWholeFile(entry.path().string()));
    }
    std::vector<std::uint8_t> out;
    std::size_t size = 0;
    for (auto _ : state) {
        size = 0;
        for (const auto& file : files) size += ZlibDeflate(file, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.small_bytes));
    state.counters["out_MiB"] = static_cast<double>(size) / (1 << 20);
}
BENCHMARK(BM_SmallFiles_Zlib)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
