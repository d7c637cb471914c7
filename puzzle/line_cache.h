// Answers of the line solver kept by line and content. Probing tries the
// same cells round after round and the search comes back to the same
// lines after each backtrack, so a long line is often solved again from
// exactly the cells it had before; looking the answer up costs O(n) where
// the table form of the solver costs O(k x slack).
//
// Direct-mapped: each (line, content) has one slot, chosen by a 64-bit
// hash, and a newer entry replaces an older one. An entry holds the cells
// it was asked about, and a hit compares them in full, so a hash collision
// can never give a wrong answer. The whole cache takes at most kBytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace grix {

class LineCache {
  public:
    static constexpr std::size_t kBytes = std::size_t{4} << 20;

    // A cache for lines of up to `longest` cells.
    explicit LineCache(int longest);

    // The answer kept for `cells` of line `line`: true and the narrowed
    // cells in `cells`, with `*fits` telling whether the clue fits; false
    // when it is not kept.
    [[nodiscard]] bool Find(int line, std::uint8_t* cells, int length, bool* fits);
    // Keeps the answer for `before` (the cells as asked) of line `line`:
    // `after` and whether the clue fits.
    void Keep(int line, const std::uint8_t* before, const std::uint8_t* after, int length,
              bool fits);

  private:
    struct Slot {
        std::uint64_t hash = 0;
        int line = -1;
        bool fits = false;
    };
    [[nodiscard]] static std::uint64_t Hash(int line, const std::uint8_t* cells, int length);

    std::size_t stride_;  // bytes a slot: the cells before, then after
    std::vector<Slot> slots_;
    std::vector<std::uint8_t> cells_;
};

}  // namespace grix
