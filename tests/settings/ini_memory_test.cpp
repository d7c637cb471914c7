// The settings reader's memory against the size of the file it reads, for
// files made of what costs a line-by-line reader most: tiny lines by the
// million. Every allocation of this test program is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/ini_file.h"

namespace {

std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

void* Allocate(std::size_t size) {
    // The size rides in front of the block, so that delete knows it.
    auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
    if (block == nullptr)
        throw std::bad_alloc();
    *block = size;
    const std::size_t live = g_live += size;
    for (std::size_t peak = g_peak; live > peak && !g_peak.compare_exchange_weak(peak, live);) {
    }
    return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}

void Release(void* pointer) {
    if (pointer == nullptr)
        return;
    auto* block =
        reinterpret_cast<std::size_t*>(static_cast<char*>(pointer) - sizeof(std::max_align_t));
    g_live -= *block;
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* pointer) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer) noexcept {
    Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    Release(pointer);
}

namespace grix {
namespace {

std::string DistinctKeys(std::size_t bytes) {
    std::string text = "[Table]\n";
    for (std::size_t i = 0; text.size() < bytes; ++i)
        text += std::to_string(i) + "=\n";
    return text;
}

std::string DistinctSections(std::size_t bytes) {
    std::string text;
    for (std::size_t i = 0; text.size() < bytes; ++i)
        text += "[" + std::to_string(i) + "]\n";
    return text;
}

std::string Repeated(const std::string& head, const std::string& line, std::size_t bytes) {
    std::string text = head;
    while (text.size() < bytes)
        text += line;
    return text;
}

TEST(IniMemory, StaysWithinASmallMultipleOfTheFile) {
    constexpr std::size_t kBytes = 1 << 20;
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"one key over and over", Repeated("[Table]\n", "k=\n", kBytes)},
        {"one section over and over", Repeated("", "[a]\n", kBytes)},
        {"blank lines", Repeated("[Table]\n", "\n", kBytes)},
        {"distinct keys", DistinctKeys(kBytes)},
        {"distinct sections", DistinctSections(kBytes)},
    };
    for (const auto& c : cases) {
        const std::size_t before = g_live;
        g_peak = before;
        {
            const IniFile ini = IniFile::FromText("x.ini", c.text);
            EXPECT_TRUE(ini.ValueExists("Table", "k") || c.text.find("k=") == std::string::npos);
        }
        EXPECT_LE(g_peak - before, 16 * c.text.size()) << c.name;
    }
}

}  // namespace
}  // namespace grix
