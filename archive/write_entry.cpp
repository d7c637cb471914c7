// Writing one entry at the end of the archive: opening its source, the
// local header (written first with sizes unknown, rewritten once the data
// is in), and the data itself.
#include "archive/base_archiver.h"

#include "archive/brask_exception.h"
#include "archive/compress_source.h"
#include "archive/entry_name.h"
#include "archive/zip_records.h"
#include "core/errors.h"

namespace grix {
namespace {

// The most a source of `length` bytes can become when deflated in chunks:
// every chunk's output fits its bound, so the sum of the bounds is a limit.
std::uint64_t DeflatedSizeLimit(std::uint64_t length, int level) {
    const std::uint64_t chunk = ChunkSize(level);
    const std::uint64_t chunks = length / chunk + 1;
    return length + length / 10 + chunks * 268;
}

}  // namespace

File TBraskBaseArchiver::OpenSource(const std::string& path) {
    int err = 0;
    File source = File::TryOpen(path, OpenMode::Read, err);
    if (!source.IsOpen()) Raise(brask_code::kCannotOpenSource, {path});
    // POSIX has no share modes; advisory locks carry the same request to
    // every program that honours them.
    int lock_err = 0;
    switch (options_.ShareMode) {
        case smShareDenyNone: break;
        case smShareDenyWrite: lock_err = source.TryLock(false); break;
        case smShareDenyRead:
        case smShareExclusive:
        case smShareCompat: lock_err = source.TryLock(true); break;
    }
    if (lock_err != 0) Raise(brask_code::kCannotOpenSource, {path});
    return source;
}

bool TBraskBaseArchiver::WriteEntry(TBraskDirItem& item) {
    UpdateCompressionMethod();
    if (DoFileProgress(item.stored_name, item.operation, ppStart, 0)) {
        abort_ = true;
        return false;
    }
    // A name that would land outside the extracting folder (or split a
    // listing line) is refused here, where the failure prompt can leave it out.
    if (!IsSafeEntryName(item.stored_name)) {
        Raise(brask_code::kUnsafeEntryName,
              {PrintableName(item.source_path), PrintableName(item.stored_name)});
    }
    File source;
    std::uint64_t length = 0;
    if (!item.is_folder) {
        source = OpenSource(item.source_path);
        length = static_cast<std::uint64_t>(source.Size());
    }
    const bool deflate = item.header.method == kMethodDeflated && length > 0;

    const auto offset = static_cast<std::uint64_t>(archive_.Position());
    bool zip64 = offset >= kZip64Marker32 || zip64_mode_ == zmAlways;
    if (zip64_mode_ == zmAuto) {
        // The local header's room for 64-bit sizes must be reserved before
        // the data is known, so zmAuto reserves it for any source whose
        // data could reach 4 GiB.
        const std::uint64_t limit = deflate ? DeflatedSizeLimit(length, item.level) : length;
        if (limit >= kZip64Marker32) zip64 = true;
    }
    const std::uint16_t version = zip64 || length >= kZip64Marker32 ? kVersionZip64
                                  : options_.OEMFileNames           ? kVersionFat20
                                                                    : kVersionNtfs20;
    item.header.version_made_by = version;
    item.header.version_needed = version;
    if (zip64 && zip64_mode_ == zmDisabled) Raise(brask_code::kZip64OffsetNeeded, {item.source_path});
    if (length >= kZip64Marker32 && zip64_mode_ == zmDisabled) {
        Raise(brask_code::kZip64SizeNeeded, {item.source_path});
    }
    item.local_header_offset = offset;
    item.needs_zip64 = zip64;

    LocalHeader local;
    local.version_needed = version;
    local.flags = item.header.flags & kFlagUtf8Name;  // the folder flag is central-only
    local.method = item.header.method;
    local.time = item.header.time;
    local.date = item.header.date;
    local.crc32 = item.header.crc32;
    local.compressed_size = zip64 ? kZip64Marker32 : 0;
    local.uncompressed_size = zip64 ? kZip64Marker32 : static_cast<std::uint32_t>(length);
    local.name_length = static_cast<std::uint16_t>(item.stored_name.size());
    local.extra_length = zip64 ? static_cast<std::uint16_t>(kLocalZip64ExtraSize) : 0;

    std::vector<std::uint8_t> head;
    AppendLocalHeader(head, local);
    head.insert(head.end(), item.stored_name.begin(), item.stored_name.end());
    // Sizes 0 for now: final for a folder, rewritten below for a file.
    if (zip64) AppendZip64Extra(head, {0, 0});
    if (archive_.WriteSome(head.data(), head.size()) != head.size()) {
        throw EWriteError(kStreamWriteError);
    }

    if (!item.is_folder) {
        const CompressOutcome outcome = CompressSource(
            source, length, archive_, item.level, deflate, [&](std::uint64_t bytes_read) {
                const double part = static_cast<double>(bytes_read) / static_cast<double>(length);
                bool stop = DoFileProgress(item.stored_name, item.operation, ppProcess, part * 100);
                const double overall =
                    to_process_ > 0 ? (part + processed_) / to_process_ * 100 : 100;
                stop = DoOverallProgress(item.operation, ppProcess, overall) || stop;
                return stop;
            });
        if (outcome.aborted) {
            abort_ = true;
            return false;
        }
        // No other file can go where this one did not fit: the whole
        // update fails, with the cause the user can act on.
        if (outcome.disk_full) throw EFileError(kDiskFull);
        if (outcome.bytes_read != length) {
            Raise(brask_code::kInvalidCompressedSize,
                  {std::to_string(length), std::to_string(outcome.bytes_read)});
        }
        if (outcome.bytes_written >= kZip64Marker32 && !zip64) {
            Raise(brask_code::kZip64SizeNeeded, {item.source_path});
        }
        item.header.crc32 = outcome.crc32;
        item.compressed_size = outcome.bytes_written;
        item.uncompressed_size = length;
        if (length == 0) item.header.method = kMethodStored;

        local.method = item.header.method;
        local.crc32 = item.header.crc32;
        if (!zip64) {
            local.compressed_size = static_cast<std::uint32_t>(outcome.bytes_written);
            local.uncompressed_size = static_cast<std::uint32_t>(length);
        }
        head.clear();
        AppendLocalHeader(head, local);
        archive_.Seek(static_cast<std::int64_t>(offset));
        if (archive_.WriteSome(head.data(), head.size()) != head.size()) {
            throw EWriteError(kStreamWriteError);
        }
        if (zip64) {
            head.clear();
            AppendZip64Extra(head, {length, outcome.bytes_written});
            archive_.Seek(static_cast<std::int64_t>(offset + kLocalHeaderSize + item.stored_name.size()));
            if (archive_.WriteSome(head.data(), head.size()) != head.size()) {
                throw EWriteError(kStreamWriteError);
            }
        }
        archive_.SeekToEnd();
    } else {
        item.compressed_size = 0;
        item.uncompressed_size = 0;
    }
    DoFileProgress(item.stored_name, item.operation, ppEnd, 100);
    return true;
}

}  // namespace grix
