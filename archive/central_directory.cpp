#include "archive/central_directory.h"

#include <vector>

#include "archive/brask_exception.h"
#include "core/errors.h"

namespace grix {

TBraskDirManager::TBraskDirManager(File& archive, const std::string* owner_name, bool is_new,
                                   std::uint64_t start_offset)
    : archive_(archive),
      owner_name_(owner_name),
      entries_(owner_name),
      snapshot_(owner_name),
      is_new_(is_new),
      start_offset_(start_offset),
      central_directory_offset_(start_offset) {
    ResetEndRecord();
}

void TBraskDirManager::ResetEndRecord() noexcept { end_record_ = EndRecord{}; }

namespace {
constexpr std::size_t kFlushAt = 1 << 20;

std::uint32_t Fit32(std::uint64_t value) {
    return value >= kZip64Marker32 ? kZip64Marker32 : static_cast<std::uint32_t>(value);
}
}  // namespace

void TBraskDirManager::WriteCentralDirectory() {
    const std::int64_t position = archive_.Position();
    archive_.Truncate(position);
    const auto directory_offset = static_cast<std::uint64_t>(position);

    std::vector<std::uint8_t> block;
    std::uint64_t directory_size = 0;
    auto flush = [&] {
        if (archive_.WriteSome(block.data(), block.size()) != block.size()) {
            throw EBraskException(*owner_name_, brask_code::kStreamWrite);
        }
        directory_size += block.size();
        block.clear();
    };
    for (int i = 0; i < entries_.Count(); ++i) {
        const TBraskDirItem& item = entries_.Item(i);
        CentralHeader header = item.header;
        const bool zip64 = item.needs_zip64 || item.uncompressed_size >= kZip64Marker32 ||
                           item.compressed_size >= kZip64Marker32 ||
                           item.local_header_offset >= kZip64Marker32;
        header.name_length = static_cast<std::uint16_t>(item.stored_name.size());
        header.comment_length = static_cast<std::uint16_t>(item.comment.size());
        if (zip64) {
            // All three values move to the extra field, so readers find them
            // whatever their size.
            header.uncompressed_size = kZip64Marker32;
            header.compressed_size = kZip64Marker32;
            header.local_header_offset = kZip64Marker32;
            header.extra_length = 4 + 3 * 8;
        } else {
            header.uncompressed_size = Fit32(item.uncompressed_size);
            header.compressed_size = Fit32(item.compressed_size);
            header.local_header_offset = Fit32(item.local_header_offset);
            header.extra_length = 0;
        }
        AppendCentralHeader(block, header);
        block.insert(block.end(), item.stored_name.begin(), item.stored_name.end());
        if (zip64) {
            AppendZip64Extra(block, {item.uncompressed_size, item.compressed_size,
                                     item.local_header_offset});
        }
        block.insert(block.end(), item.comment.begin(), item.comment.end());
        if (block.size() >= kFlushAt) flush();
    }
    if (!block.empty()) flush();

    const auto count = static_cast<std::uint64_t>(entries_.Count());
    std::vector<std::uint8_t> tail;
    if (NeedsZip64EndRecord(count, directory_size, directory_offset)) {
        Zip64EndRecord record;
        record.entries_on_disk = count;
        record.total_entries = count;
        record.central_directory_size = directory_size;
        record.central_directory_offset = directory_offset;
        AppendZip64EndRecord(tail, record);
        Zip64Locator locator;
        locator.end_record_offset = directory_offset + directory_size;
        AppendZip64Locator(tail, locator);
    }
    EndRecord end = MakeEndRecord(count, directory_size, directory_offset);
    end.comment_length = static_cast<std::uint16_t>(comment_.size());
    AppendEndRecord(tail, end);
    tail.insert(tail.end(), comment_.begin(), comment_.end());
    if (archive_.WriteSome(tail.data(), tail.size()) != tail.size()) {
        throw EWriteError(kStreamWriteError);
    }
    end_record_ = end;
    central_directory_offset_ = directory_offset;
}

}  // namespace grix
