#include "imaging/bmp_rle.h"

#include <algorithm>
#include <array>

namespace grix {

namespace {

// The write side of the expansion: a cursor over the picture in file order.
class RleCanvas {
  public:
    explicit RleCanvas(PixelStore& store)
        : out_(store.bytes),
          width_(store.width),
          height_(store.height),
          total_(std::int64_t{store.width} * store.height) {}

    bool Done() const { return row_ >= height_; }
    // Every row reached: writers that stop after the last row's pixels,
    // without its end-of-line or the end-of-picture code, lose nothing.
    bool Covered() const { return Done() || (row_ == height_ - 1 && x_ >= width_); }

    void EndOfLine() {
        x_ = 0;
        ++row_;
    }
    // dx and dy are at most 255 each, so the cursor stays far from overflow
    // for as long as the (bounded) codes last.
    void Delta(int dx, int dy) {
        x_ += dx;
        row_ += dy;
    }

    // Writes n pixels from the cursor on, index_of(i) giving the i-th. Pixels
    // past the end of the row are dropped: only an end-of-line or delta code
    // moves to another row, as the encoding defines.
    template <typename IndexOf>
    void Run(std::int64_t n, IndexOf index_of) {
        const std::int64_t count = std::min(n, std::max<std::int64_t>(0, width_ - x_));
        if (count > 0) {
            const std::int64_t start = row_ * width_ + x_;
            Reserve(start + count);
            std::uint8_t* dest = out_.data() + start;
            for (std::int64_t i = 0; i < count; ++i)
                dest[i] = index_of(i);
        }
        x_ += n;
    }

  private:
    // Grows the store to `end` bytes, doubling its capacity but never past
    // the whole picture (which the caller has bounded).
    void Reserve(std::int64_t end) {
        const auto need = static_cast<std::size_t>(end);
        if (need <= out_.size())
            return;
        if (need > out_.capacity()) {
            const auto whole = static_cast<std::size_t>(total_);
            out_.reserve(std::min(whole, std::max(need, out_.capacity() * 2)));
        }
        out_.resize(need);
    }

    std::vector<std::uint8_t>& out_;
    std::int64_t width_;
    std::int64_t height_;
    std::int64_t total_;
    std::int64_t x_ = 0;
    std::int64_t row_ = 0;  // in file order
};

}  // namespace

bool ExpandRle(StreamReader& in, std::int64_t budget, bool four_bit, PixelStore& store) {
    RleCanvas canvas(store);
    auto next = [&](std::uint8_t& byte) {
        if (budget <= 0 || !in.NextByte(byte))
            return false;
        --budget;
        return true;
    };

    std::uint8_t count = 0;
    std::uint8_t code = 0;
    while (!canvas.Done() && next(count) && next(code)) {
        if (count > 0) {
            // Encoded run: one index repeated, or two alternating nibbles.
            if (four_bit) {
                const std::uint8_t hi = code >> 4;
                const std::uint8_t lo = code & 0x0F;
                canvas.Run(count, [&](std::int64_t i) { return (i & 1) ? lo : hi; });
            } else {
                canvas.Run(count, [&](std::int64_t) { return code; });
            }
            continue;
        }
        if (code == 0) {
            canvas.EndOfLine();
        } else if (code == 1) {
            return true;  // end of picture
        } else if (code == 2) {
            std::uint8_t dx = 0;
            std::uint8_t dy = 0;
            if (!next(dx) || !next(dy))
                break;
            canvas.Delta(dx, dy);
        } else {
            // Absolute run of `code` pixels, its bytes padded to a 16-bit
            // boundary.
            const std::int64_t pixels = code;
            const std::int64_t bytes = four_bit ? (pixels + 1) / 2 : pixels;
            std::array<std::uint8_t, 255> run{};
            const auto want = static_cast<std::size_t>(std::min(bytes, budget));
            const std::size_t got = in.ReadUpTo(run.data(), want);
            budget -= static_cast<std::int64_t>(got);
            const std::int64_t supplied =
                std::min(pixels, four_bit ? std::int64_t(got) * 2 : std::int64_t(got));
            if (four_bit) {
                canvas.Run(supplied, [&](std::int64_t i) {
                    const std::uint8_t b = run[static_cast<std::size_t>(i / 2)];
                    return static_cast<std::uint8_t>((i & 1) ? (b & 0x0F) : (b >> 4));
                });
            } else {
                canvas.Run(supplied,
                           [&](std::int64_t i) { return run[static_cast<std::size_t>(i)]; });
            }
            if (static_cast<std::int64_t>(got) < bytes)
                break;  // the codes end mid-run
            std::uint8_t pad = 0;
            if ((bytes & 1) && !next(pad))
                break;
        }
    }
    // Codes cut short by the picture's declared data size are the writer's
    // choice; codes cut short by the end of the file are a damaged file.
    return canvas.Covered() || in.Remaining() > 0;
}

}  // namespace grix
