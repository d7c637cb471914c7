// CompressSource: streams one source file into the archive, raw-deflated or
// stored, chunk by chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "core/file.h"

namespace grix {

// Input bytes per chunk for a deflate level: 512 KiB for levels 1-3,
// 1.5 MiB for 7-9, 1 MiB otherwise.
std::size_t ChunkSize(int level);

// The output room for one chunk of n input bytes, enough for a single
// deflate call to finish it: n + n / 10 + 12, rounded up to 256.
std::size_t ChunkOutputBound(std::size_t n);

struct CompressOutcome {
    bool aborted = false;         // the progress callback asked to stop
    std::uint32_t crc32 = 0;      // of the bytes read
    std::uint64_t bytes_read = 0;
    std::uint64_t bytes_written = 0;
    bool disk_full = false;       // the archive took fewer bytes than offered
};

// Called before each chunk with the bytes read so far; answers true to abort.
using ChunkProgress = std::function<bool(std::uint64_t bytes_read)>;

// Reads `source_length` bytes from `source` (its current position) and
// writes them to `archive` (its current position): as one raw deflate
// stream at `level` when `deflate`, else unchanged. Each chunk is one
// deflate call, a sync flush for every chunk but the last, which finishes
// the stream; the zlib header and Adler-32 trailer are cut, so the entry
// holds raw deflate data. Stops early, with bytes_read below the length,
// when the source ends early, when the archive takes fewer bytes than
// offered (bytes_read then excludes that chunk) or when progress aborts.
// A zlib failure raises ECompressionError; a read or write failure other
// than a full disk raises the file layer's error.
CompressOutcome CompressSource(File& source, std::uint64_t source_length, File& archive, int level,
                               bool deflate, const ChunkProgress& progress);

}  // namespace grix
