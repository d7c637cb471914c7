// Two bits a cell (the CellState values): the solver's copies of what is
// known, kept while probing and searching near the picture, take a
// quarter of a byte a cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace grix {

class PackedCells {
  public:
    PackedCells() = default;
    PackedCells(std::size_t count, std::uint8_t value) { Assign(count, value); }

    void Assign(std::size_t count, std::uint8_t value) {
        std::uint64_t word = 0;
        for (unsigned i = 0; i < kPerWord; ++i)
            word |= static_cast<std::uint64_t>(value & 3u) << (2 * i);
        count_ = count;
        words_.assign((count + kPerWord - 1) / kPerWord, word);
    }
    [[nodiscard]] std::size_t size() const { return count_; }
    [[nodiscard]] std::uint8_t operator[](std::size_t i) const {
        return static_cast<std::uint8_t>((words_[i / kPerWord] >> Shift(i)) & 3u);
    }
    void Put(std::size_t i, std::uint8_t value) {
        std::uint64_t& word = words_[i / kPerWord];
        word = (word & ~(std::uint64_t{3} << Shift(i))) |
               (static_cast<std::uint64_t>(value & 3u) << Shift(i));
    }

  private:
    static constexpr unsigned kPerWord = 32;
    static unsigned Shift(std::size_t i) { return static_cast<unsigned>(2 * (i % kPerWord)); }

    std::size_t count_ = 0;
    std::vector<std::uint64_t> words_;
};

}  // namespace grix
