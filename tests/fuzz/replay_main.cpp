// Runs a fuzz target's entry point once on each file of its seed corpus, so
// that every test run (not only the fuzz pass) replays the inputs that once
// crashed a parser or that cover its odd corners. A crash, a sanitizer
// report or the target's own trap fails the test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path given(argv[i]);
        if (fs::is_directory(given)) {
            for (const auto& entry : fs::directory_iterator(given)) {
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
            }
        } else {
            inputs.push_back(given);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "No seed files to replay\n");
        return 1;
    }
    for (const fs::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "Cannot read %s\n", input.string().c_str());
            return 1;
        }
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        std::printf("%s\n", input.string().c_str());
        std::fflush(stdout);
        (void)LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("Replayed %zu seed files\n", inputs.size());
    return 0;
}
