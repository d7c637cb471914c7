#include "imaging/stream_reader.h"

#include <algorithm>
#include <cstring>

#include "core/errors.h"

namespace grix {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

StreamReader::StreamReader(TStream& stream)
    : stream_(stream), size_(stream.Size()), position_(stream.Position()) {}

bool StreamReader::Refill() {
    if (buffer_.empty())
        buffer_.resize(kBufferSize);
    cursor_ = 0;
    filled_ = stream_.Read(buffer_.data(), buffer_.size());
    return filled_ > 0;
}

std::size_t StreamReader::ReadUpTo(void* out, std::size_t count) {
    auto* dest = static_cast<std::uint8_t*>(out);
    std::size_t done = std::min(count, filled_ - cursor_);
    if (done > 0) {
        std::memcpy(dest, buffer_.data() + cursor_, done);
        cursor_ += done;
    }
    if (done < count) {
        if (count - done >= kBufferSize) {
            // Large blocks (pixel data) go straight to their destination.
            done += stream_.Read(dest + done, count - done);
            cursor_ = filled_ = 0;  // the stream now stands at the new position
        } else if (Refill()) {
            const std::size_t more = std::min(count - done, filled_);
            std::memcpy(dest + done, buffer_.data(), more);
            cursor_ = more;
            done += more;
        }
    }
    position_ += static_cast<std::int64_t>(done);
    return done;
}

void StreamReader::ReadExact(void* out, std::size_t count) {
    if (ReadUpTo(out, count) != count)
        throw EReadError(kStreamReadError);
}

std::uint16_t StreamReader::ReadU16() {
    std::uint8_t b[2];
    ReadExact(b, sizeof b);
    return LoadU16(b);
}

std::uint32_t StreamReader::ReadU32() {
    std::uint8_t b[4];
    ReadExact(b, sizeof b);
    return LoadU32(b);
}

void StreamReader::Skip(std::int64_t count) {
    if (count < 0 || count > Remaining())
        throw EReadError(kStreamReadError);
    SeekTo(position_ + count);
}

void StreamReader::SeekTo(std::int64_t position) {
    if (position < 0 || position > size_)
        throw EReadError(kStreamReadError);
    // Inside the buffered window: just move the cursor.
    const std::int64_t window_start = position_ - static_cast<std::int64_t>(cursor_);
    const std::int64_t window_end = window_start + static_cast<std::int64_t>(filled_);
    if (position >= window_start && position <= window_end) {
        cursor_ = static_cast<std::size_t>(position - window_start);
    } else {
        stream_.Seek(position);
        cursor_ = filled_ = 0;
    }
    position_ = position;
}

}  // namespace grix
