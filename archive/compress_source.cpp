#include "archive/compress_source.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "archive/brask_exception.h"

namespace grix {

std::size_t ChunkSize(int level) {
    if (level >= 1 && level <= 3) return 524288;
    if (level >= 7 && level <= 9) return 1572864;
    return 1048576;
}

std::size_t ChunkOutputBound(std::size_t n) {
    const std::size_t raw = n + n / 10 + 12;
    return (raw + 255) / 256 * 256;
}

namespace {

constexpr std::size_t kZlibHeaderSize = 2;
constexpr std::size_t kAdlerTrailerSize = 4;

// Owns a zlib deflate stream from deflateInit2 to deflateEnd.
class DeflateStream {
public:
    explicit DeflateStream(int level) {
        if (deflateInit2(&stream_, level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            throw ECompressionError();
        }
    }
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;
    ~DeflateStream() {
        if (!ended_) deflateEnd(&stream_);
    }

    // One call over all of `in`; answers the bytes produced in `out`,
    // which must be large enough for the call to complete.
    std::size_t Deflate(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                        std::size_t out_size, bool finish) {
        stream_.next_in = const_cast<Bytef*>(in);
        stream_.avail_in = static_cast<uInt>(in_size);
        stream_.next_out = out;
        stream_.avail_out = static_cast<uInt>(out_size);
        const int result = deflate(&stream_, finish ? Z_FINISH : Z_SYNC_FLUSH);
        if (result < 0) throw ECompressionError();
        // The output room is sized so one call always completes; anything
        // else would silently lose data.
        const bool complete = finish ? result == Z_STREAM_END
                                     : stream_.avail_in == 0 && stream_.avail_out > 0;
        if (!complete) throw ECompressionError();
        return out_size - stream_.avail_out;
    }

    // Ends the stream and checks zlib's verdict on it.
    void End() {
        ended_ = true;
        if (deflateEnd(&stream_) < 0) throw ECompressionError();
    }

private:
    z_stream stream_{};
    bool ended_ = false;
};

}  // namespace

CompressOutcome CompressSource(File& source, std::uint64_t source_length, File& archive, int level,
                               bool deflate, const ChunkProgress& progress) {
    CompressOutcome outcome;
    const std::size_t chunk =
        static_cast<std::size_t>(std::min<std::uint64_t>(ChunkSize(level), source_length));
    // Small sources get small buffers; the largest is one chunk in and its bound out.
    std::vector<std::uint8_t> input(chunk);
    std::vector<std::uint8_t> output;
    std::unique_ptr<DeflateStream> stream;
    if (deflate) {
        output.resize(ChunkOutputBound(chunk));
        stream = std::make_unique<DeflateStream>(level);
    }

    uLong crc = crc32(0L, Z_NULL, 0);
    while (outcome.bytes_read < source_length) {
        if (progress && progress(outcome.bytes_read)) {
            outcome.aborted = true;
            break;
        }
        const auto n = static_cast<std::size_t>(
            std::min<std::uint64_t>(chunk, source_length - outcome.bytes_read));
        if (source.Read(input.data(), n) != n) break;
        crc = crc32_z(crc, input.data(), n);

        const std::uint8_t* data = input.data();
        std::size_t size = n;
        const bool last = outcome.bytes_read + n == source_length;
        if (deflate) {
            size = stream->Deflate(input.data(), n, output.data(), output.size(), last);
            data = output.data();
            const std::size_t cut = (outcome.bytes_read == 0 ? kZlibHeaderSize : 0) +
                                    (last ? kAdlerTrailerSize : 0);
            if (size < cut) throw ECompressionError();
            if (outcome.bytes_read == 0) {  // the zlib header
                data += kZlibHeaderSize;
                size -= kZlibHeaderSize;
            }
            if (last) size -= kAdlerTrailerSize;
        }
        if (archive.WriteSome(data, size) != size) {
            outcome.disk_full = true;
            break;
        }
        outcome.bytes_read += n;
        outcome.bytes_written += size;
    }

    // A stream that stopped early is discarded: zlib would only report that
    // it never finished, which says nothing the caller does not know.
    if (stream && outcome.bytes_read == source_length) stream->End();
    outcome.crc32 = static_cast<std::uint32_t>(crc);
    return outcome;
}

}  // namespace grix
