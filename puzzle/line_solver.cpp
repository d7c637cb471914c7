#include "puzzle/line_solver.h"

#include <cstddef>
#include <cstdint>

namespace grix {

namespace {

#if defined(__SIZEOF_INT128__)
__extension__ typedef unsigned __int128 WideWord;
#endif

// 256 bits as four words, with just the operations SolveOnWords uses, so
// that lines of up to 255 cells (the most a phone's picture has) take the
// masks too: four word operations for one are still far fewer than the
// tables' O(k x slack).
struct Bits256 {
    std::uint64_t w[4] = {0, 0, 0, 0};

    constexpr Bits256(unsigned long long value = 0) : w{value, 0, 0, 0} {}
    explicit operator unsigned() const { return static_cast<unsigned>(w[0]); }

    friend Bits256 operator<<(const Bits256& a, int shift) {
        Bits256 out;
        const int words = shift / 64;
        const int bits = shift % 64;
        for (int i = 3; i >= words; --i) {
            std::uint64_t value = a.w[i - words] << bits;
            if (bits != 0 && i - words - 1 >= 0)
                value |= a.w[i - words - 1] >> (64 - bits);
            out.w[i] = value;
        }
        return out;
    }
    friend Bits256 operator>>(const Bits256& a, int shift) {
        Bits256 out;
        const int words = shift / 64;
        const int bits = shift % 64;
        for (int i = 0; i + words <= 3; ++i) {
            std::uint64_t value = a.w[i + words] >> bits;
            if (bits != 0 && i + words + 1 <= 3)
                value |= a.w[i + words + 1] << (64 - bits);
            out.w[i] = value;
        }
        return out;
    }
    friend Bits256 operator<<(const Bits256& a, unsigned shift) {
        return a << static_cast<int>(shift);
    }
    friend Bits256 operator>>(const Bits256& a, unsigned shift) {
        return a >> static_cast<int>(shift);
    }
    friend Bits256 operator&(Bits256 a, const Bits256& b) {
        for (int i = 0; i < 4; ++i)
            a.w[i] &= b.w[i];
        return a;
    }
    friend Bits256 operator|(Bits256 a, const Bits256& b) {
        for (int i = 0; i < 4; ++i)
            a.w[i] |= b.w[i];
        return a;
    }
    Bits256& operator&=(const Bits256& b) { return *this = *this & b; }
    Bits256& operator|=(const Bits256& b) { return *this = *this | b; }
    friend bool operator==(const Bits256& a, const Bits256& b) {
        return a.w[0] == b.w[0] && a.w[1] == b.w[1] && a.w[2] == b.w[2] && a.w[3] == b.w[3];
    }
};

// Bit i of a mask, read and set one word at a time: a whole-mask shift for
// each cell would cost the wide masks more than the rest of the solve.
template <typename Word>
unsigned GetBit(const Word& word, int i) {
    return static_cast<unsigned>((word >> i) & Word{1});
}
template <typename Word>
void SetBit(Word& word, int i, unsigned value) {
    word |= static_cast<Word>(value) << i;
}
template <>
unsigned GetBit(const Bits256& word, int i) {
    return static_cast<unsigned>((word.w[i / 64] >> (i % 64)) & 1);
}
template <>
void SetBit(Bits256& word, int i, unsigned value) {
    word.w[i / 64] |= static_cast<std::uint64_t>(value) << (i % 64);
}

// Positions s where the `run` cells [s, s + run) may all be filled.
template <typename Word>
Word RunFits(Word may_fill, int run) {
    Word fits = may_fill;
    int covered = 1;
    for (; 2 * covered <= run; covered *= 2)
        fits &= fits >> covered;
    if (covered < run)
        fits &= fits >> (run - covered);
    return fits;
}

// Every cell of the runs of `length` cells starting at the bits of `starts`.
template <typename Word>
Word Dilate(Word starts, int length) {
    Word cells = starts;
    int covered = 1;
    for (; 2 * covered <= length; covered *= 2)
        cells |= cells << covered;
    if (covered < length)
        cells |= cells << (length - covered);
    return cells;
}

// From the bits of `from`, upwards through every position whose bit in
// `open` is set.
template <typename Word>
Word FloodUp(Word from, Word open) {
    for (unsigned step = 1; step < 8 * sizeof(Word); step *= 2) {
        from |= open & (from << step);
        open &= open << step;
    }
    return from;
}

template <typename Word>
Word FloodDown(Word from, Word open) {
    for (unsigned step = 1; step < 8 * sizeof(Word); step *= 2) {
        from |= open & (from >> step);
        open &= open >> step;
    }
    return from;
}

// Positions are 0..n (n < the word's bits), so every set of them fits one
// word. With may_empty (bit i: cell i may be empty) and may_fill:
//   before[j]: positions i where cells [0, i) can hold runs [0, j);
//   starts[j]: where run j may start as far as the left side goes;
//   after:     positions i where cells [i, n) can hold runs [j, k), j falling.
template <typename Word>
bool SolveOnWords(const int* runs, std::size_t k, std::uint8_t* cells, int n) {
    constexpr std::size_t kMostRuns = 4 * sizeof(Word);  // (bits - 1 + 1) / 2
    std::size_t needed = k;
    for (std::size_t j = 0; j < k; ++j)
        needed += static_cast<std::size_t>(runs[j]);
    // Also keeps every shift below the word's width.
    if (needed > static_cast<std::size_t>(n) + 1 || k > kMostRuns)
        return false;

    Word may_empty = 0;
    Word may_fill = 0;
    for (int i = 0; i < n; ++i) {
        SetBit(may_empty, i, cells[i] & kMayEmpty);
        SetBit(may_fill, i, (cells[i] & kMayFill) >> 1);
    }
    const Word end = Word{1} << n;
    Word before[kMostRuns + 1];
    Word starts[kMostRuns];
    Word fits[kMostRuns];

    // Position 0, then on through cells that may be empty.
    before[0] = FloodUp<Word>(1, may_empty << 1);
    for (std::size_t j = 0; j < k; ++j) {
        fits[j] = RunFits(may_fill, runs[j]);
        const Word start = ((before[j] & may_empty) << 1) | Word{j == 0 ? 1u : 0u};
        starts[j] = start & fits[j];
        before[j + 1] = FloodUp<Word>(starts[j] << runs[j], may_empty << 1);
    }
    if ((before[k] & end) == 0)
        return false;

    // From position n, down through cells that may be empty.
    Word after = FloodDown(end, may_empty);
    Word can_empty = before[k] & (after >> 1);
    Word can_fill = 0;
    for (std::size_t j = k; j-- > 0;) {
        // Run j may end before position e when e is the end, for the last
        // run, or when cell e may be empty and the later runs fit after it.
        const Word ends = (may_empty & (after >> 1)) | (j + 1 == k ? end : Word{0});
        const Word right = (ends >> runs[j]) & fits[j];
        can_fill |= Dilate<Word>(starts[j] & right, runs[j]);
        after = FloodDown(right, may_empty);
        can_empty |= before[j] & (after >> 1);
    }
    can_empty &= may_empty;

    for (int i = 0; i < n; ++i) {
        cells[i] &= static_cast<std::uint8_t>(GetBit(can_empty, i) | (GetBit(can_fill, i) << 1));
    }
    return true;
}

}  // namespace

bool LineSolver::Solve(const int* runs, std::size_t count, std::uint8_t* cells, int length) {
    if (length > kMaskCells)
        return SolveByTables(runs, count, cells, length);
    if (length < 128)
        return SolveByMasks(runs, count, cells, length);
    // Four-word masks cost O(n) to fill and read back; the tables cost
    // O(k x slack), which for a line with few runs or little room is less.
    std::size_t needed = count;
    for (std::size_t j = 0; j < count; ++j)
        needed += static_cast<std::size_t>(runs[j]);
    const std::size_t slack = needed > static_cast<std::size_t>(length) + 1
                                  ? 0
                                  : static_cast<std::size_t>(length) + 1 - needed;
    return count * (slack + 1) <= 2 * static_cast<std::size_t>(length)
               ? SolveByTables(runs, count, cells, length)
               : SolveByMasks(runs, count, cells, length);
}

bool LineSolver::SolveByMasks(const int* runs, std::size_t count, std::uint8_t* cells, int length) {
    if (length < 64)
        return SolveOnWords<std::uint64_t>(runs, count, cells, length);
#if defined(__SIZEOF_INT128__)
    if (length < 128)
        return SolveOnWords<WideWord>(runs, count, cells, length);
#endif
    if (length < 256)
        return SolveOnWords<Bits256>(runs, count, cells, length);
    return SolveByTables(runs, count, cells, length);
}

// The runs can shift right by at most `slack` cells from their left-most
// placement, so run j starts somewhere in [first_j, first_j + slack] where
// first_j is the room the runs before it need. Only those windows are
// computed: O(k x slack) for the tables, which for the dense lines of most
// pictures is far less than O(n x k).
//
// `before` holds, for j = 0..k, fits_before(i, j) for i in
// [first_j - 1, first_j - 1 + slack]; `after` holds fits_after(i, j) for i in
// [first_j, first_j + slack]. Anything outside a window cannot fit, and the
// recurrences never reach more than one place past either end of a window,
// so each row has a false guard at both ends and no read needs a test.
bool LineSolver::SolveByTables(const int* runs, std::size_t count, std::uint8_t* cells,
                               int length) {
    const auto n = static_cast<std::ptrdiff_t>(length);
    const auto k = static_cast<std::ptrdiff_t>(count);
    if (k == 0) {
        for (std::ptrdiff_t i = 0; i < n; ++i) {
            if ((cells[i] & kMayEmpty) == 0)
                return false;
        }
        for (std::ptrdiff_t i = 0; i < n; ++i)
            cells[i] = kMayEmpty;
        return true;
    }
    std::ptrdiff_t needed = k - 1;
    for (std::ptrdiff_t j = 0; j < k; ++j)
        needed += runs[j];
    const std::ptrdiff_t slack = n - needed;
    if (slack < 0)
        return false;
    const std::ptrdiff_t span = slack + 1;

    const std::ptrdiff_t stride = span + 2;
    const auto table = static_cast<std::size_t>((k + 1) * stride);
    if (flags_.size() < 2 * table + static_cast<std::size_t>(n)) {
        flags_.resize(2 * table + static_cast<std::size_t>(n));
    }
    if (counts_.size() < static_cast<std::size_t>(2 * (n + 1) + k + 1)) {
        counts_.resize(static_cast<std::size_t>(2 * (n + 1) + k + 1));
    }
    std::ptrdiff_t* const empties = counts_.data();  // known-empty cells before i
    std::ptrdiff_t* const cover = empties + n + 1;
    std::ptrdiff_t* const first = cover + n + 1;
    std::uint8_t* const before = flags_.data();
    std::uint8_t* const after = before + table;
    std::uint8_t* const can_empty = after + table;
    empties[0] = 0;
    for (std::ptrdiff_t i = 0; i < n; ++i)
        empties[i + 1] = empties[i] + (cells[i] == kMayEmpty);
    const auto may_fill = [empties](std::ptrdiff_t from, std::ptrdiff_t to) {
        return empties[to] == empties[from];
    };
    const auto may_empty = [cells](std::ptrdiff_t i) { return (cells[i] & kMayEmpty) != 0; };
    first[0] = 0;
    for (std::ptrdiff_t j = 0; j < k; ++j)
        first[j + 1] = first[j] + runs[j] + 1;

    const auto fits_before = [before, first, stride](std::ptrdiff_t i, std::ptrdiff_t j) {
        return before[j * stride + 2 + i - first[j]] != 0;
    };
    const auto fits_after = [after, first, stride](std::ptrdiff_t i, std::ptrdiff_t j) {
        return after[j * stride + 1 + i - first[j]] != 0;
    };
    for (std::ptrdiff_t j = 0; j <= k; ++j) {
        before[j * stride] = before[j * stride + span + 1] = 0;
        after[j * stride] = after[j * stride + span + 1] = 0;
    }

    // fits_before(i, 0): the first i cells may all be empty.
    for (std::ptrdiff_t at = 0; at < span; ++at) {
        const std::ptrdiff_t i = at - 1;
        before[1 + at] = i == 0 || (i > 0 && fits_before(i - 1, 0) && may_empty(i - 1));
    }
    for (std::ptrdiff_t j = 1; j <= k; ++j) {
        const std::ptrdiff_t run = runs[j - 1];
        for (std::ptrdiff_t at = 0; at < span; ++at) {
            const std::ptrdiff_t i = first[j] - 1 + at;  // run j - 1 ends before cell i
            bool fits = i > 0 && i <= n && may_empty(i - 1) && fits_before(i - 1, j);
            if (!fits && i <= n && may_fill(i - run, i)) {
                const std::ptrdiff_t start = i - run;
                fits = start == 0 ? j == 1 : may_empty(start - 1) && fits_before(start - 1, j - 1);
            }
            before[j * stride + 1 + at] = fits;
        }
    }
    if (!fits_before(n, k))
        return false;

    for (std::ptrdiff_t j = k; j >= 0; --j) {
        for (std::ptrdiff_t at = slack; at >= 0; --at) {
            const std::ptrdiff_t i = first[j] + at;  // runs j.. fit in [i, n)
            bool fits = false;
            if (i < n) {
                fits = may_empty(i) && fits_after(i + 1, j);
                if (!fits && j < k) {
                    const std::ptrdiff_t end = i + runs[j];
                    if (end <= n && may_fill(i, end)) {
                        fits = end == n ? j + 1 == k : may_empty(end) && fits_after(end + 1, j + 1);
                    }
                }
            } else {
                fits = i == n && j == k;
            }
            after[j * stride + 1 + at] = fits;
        }
    }

    // Every placement of every run that fits both sides marks its cells as
    // possibly filled (+1 at its start, -1 past its end); every split of
    // the runs around an empty cell marks that cell as possibly empty.
    for (std::ptrdiff_t i = 0; i <= n; ++i)
        cover[i] = 0;
    for (std::ptrdiff_t i = 0; i < n; ++i)
        can_empty[i] = 0;
    for (std::ptrdiff_t j = 0; j <= k; ++j) {
        for (std::ptrdiff_t at = 0; at < span; ++at) {
            const std::ptrdiff_t i = first[j] - 1 + at;
            if (i >= 0 && i < n && may_empty(i) && fits_before(i, j) && fits_after(i + 1, j)) {
                can_empty[i] = 1;
            }
        }
        if (j == k)
            break;
        const std::ptrdiff_t run = runs[j];
        for (std::ptrdiff_t s = first[j]; s <= first[j] + slack; ++s) {
            const std::ptrdiff_t end = s + run;
            if (!may_fill(s, end))
                continue;
            if (s == 0 ? j != 0 : !(may_empty(s - 1) && fits_before(s - 1, j)))
                continue;
            if (end == n ? j + 1 != k : !(may_empty(end) && fits_after(end + 1, j + 1)))
                continue;
            ++cover[s];
            --cover[end];
        }
    }

    // The line fits, so every cell keeps at least one value.
    std::ptrdiff_t covered = 0;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        covered += cover[i];
        cells[i] &= static_cast<std::uint8_t>((covered > 0 ? kMayFill : 0) |
                                              (can_empty[i] != 0 ? kMayEmpty : 0));
    }
    return true;
}

}  // namespace grix
