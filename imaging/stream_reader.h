// One small, bounds-checked reader over a TStream for every header and
// record the decoders parse. Fixed-size fields either arrive whole or raise
// EReadError ("Stream read error"); the one place where a short read is
// acceptable (pixel data that ends early) asks for ReadUpTo explicitly.
//
// Reads go through a buffer so that walking many small records (metafiles,
// run-length codes) does not cost a system call each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/stream.h"

namespace grix {

class StreamReader {
  public:
    explicit StreamReader(TStream& stream);

    [[nodiscard]] std::int64_t Size() const { return size_; }
    [[nodiscard]] std::int64_t Position() const { return position_; }
    [[nodiscard]] std::int64_t Remaining() const { return size_ - position_; }

    // Exactly count bytes, or EReadError.
    void ReadExact(void* out, std::size_t count);
    [[nodiscard]] std::uint16_t ReadU16();  // little-endian
    [[nodiscard]] std::uint32_t ReadU32();  // little-endian

    // Up to count bytes; fewer only where the stream ends.
    [[nodiscard]] std::size_t ReadUpTo(void* out, std::size_t count);

    // One byte, or false at the end of the stream.
    [[nodiscard]] bool NextByte(std::uint8_t& byte) {
        if (cursor_ == filled_ && !Refill())
            return false;
        byte = buffer_[cursor_++];
        ++position_;
        return true;
    }

    // Moves forward by count bytes, or raises EReadError when that would pass
    // the end.
    void Skip(std::int64_t count);
    // Moves to an absolute position between 0 and Size().
    void SeekTo(std::int64_t position);

  private:
    bool Refill();

    TStream& stream_;
    std::int64_t size_;
    std::int64_t position_;
    std::vector<std::uint8_t> buffer_;
    std::size_t cursor_ = 0;  // next unread byte in buffer_
    std::size_t filled_ = 0;  // valid bytes in buffer_; the stream stands just past them
};

inline std::uint16_t LoadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
inline std::int16_t LoadI16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(LoadU16(p));
}
inline std::int32_t LoadI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(LoadU32(p));
}

}  // namespace grix
