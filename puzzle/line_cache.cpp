#include "puzzle/line_cache.h"

#include <algorithm>
#include <cstring>

namespace grix {

LineCache::LineCache(int longest) : stride_(2 * static_cast<std::size_t>(std::max(longest, 1))) {
    std::size_t count = 1;
    while (2 * count * stride_ <= kBytes && count < 4096)
        count *= 2;
    slots_.resize(count);
    cells_.resize(count * stride_);
}

std::uint64_t LineCache::Hash(int line, const std::uint8_t* cells, int length) {
    // FNV-1a over eight cells at a time: each cell is one of four values,
    // so a word of cells is a well-spread number already.
    std::uint64_t hash = 0xcbf29ce484222325u ^ static_cast<std::uint64_t>(line);
    int i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, cells + i, 8);
        hash = (hash ^ word) * 0x100000001b3u;
        hash ^= hash >> 29;
    }
    for (; i < length; ++i)
        hash = (hash ^ cells[i]) * 0x100000001b3u;
    return hash ^ (hash >> 32);
}

bool LineCache::Find(int line, std::uint8_t* cells, int length, bool* fits) {
    const std::uint64_t hash = Hash(line, cells, length);
    const std::size_t at = hash & (slots_.size() - 1);
    const Slot& slot = slots_[at];
    const std::uint8_t* kept = cells_.data() + at * stride_;
    const auto n = static_cast<std::size_t>(length);
    if (slot.line != line || slot.hash != hash || std::memcmp(kept, cells, n) != 0)
        return false;
    *fits = slot.fits;
    if (slot.fits)
        std::memcpy(cells, kept + stride_ / 2, n);
    return true;
}

void LineCache::Keep(int line, const std::uint8_t* before, const std::uint8_t* after, int length,
                     bool fits) {
    const std::uint64_t hash = Hash(line, before, length);
    const std::size_t at = hash & (slots_.size() - 1);
    slots_[at] = {hash, line, fits};
    std::uint8_t* kept = cells_.data() + at * stride_;
    const auto n = static_cast<std::size_t>(length);
    std::memcpy(kept, before, n);
    std::memcpy(kept + stride_ / 2, after, n);
}

}  // namespace grix
