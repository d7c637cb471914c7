#include "imaging/metafile.h"

#include <limits>

#include "core/errors.h"
#include "imaging/stream_reader.h"

namespace grix {

namespace {

constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::int64_t kEmfHeaderBytes = 100;
// The smallest header record: everything up to and including the device
// size in millimetres.
constexpr std::uint32_t kEmfMinHeaderRecord = 88;

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::int64_t kPlaceableHeaderBytes = 22;
constexpr std::int64_t kWmfHeaderBytes = 18;
constexpr std::uint16_t kWmfHeaderWords = 9;
constexpr std::uint16_t kMetaEof = 0x0000;

// Device sizes beyond this are no real device; bounding them keeps every
// product below far inside 64 bits.
constexpr std::int64_t kMaxDeviceValue = std::int64_t{1} << 24;

[[noreturn]] void NotValid() {
    throw EInvalidGraphic("Metafile is not valid");
}

// n / d rounded to the nearest integer, halves away from zero; d > 0.
std::int64_t RoundDiv(std::int64_t n, std::int64_t d) {
    return n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d);
}

std::int32_t ToSize(std::int64_t value) {
    if (value < 0 || value > std::numeric_limits<std::int32_t>::max())
        NotValid();
    return static_cast<std::int32_t>(value);
}

// A length in hundredths of a millimetre on a device of `pixels` pixels
// spanning `millimetres` mm.
std::int32_t DevicePixels(std::int64_t hundredths_mm, std::int64_t pixels,
                          std::int64_t millimetres) {
    return ToSize(RoundDiv(hundredths_mm * pixels, millimetres * 100));
}

bool IsDeviceValue(std::int64_t value) {
    return value > 0 && value <= kMaxDeviceValue;
}

struct Size {
    std::int32_t width;
    std::int32_t height;
};

// A picture frame's extent, in the file's own units; a frame whose right or
// bottom edge lies before its left or top one is no picture.
struct Extent {
    std::int64_t width;
    std::int64_t height;
};

Extent FrameExtent(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    if (right < left || bottom < top)
        NotValid();
    return {right - left, bottom - top};
}

// An enhanced metafile of `length` bytes from `start`, whose first 100 bytes
// are in `head`. The records after the header must tile the rest exactly,
// each at least a type and a size long and 4-byte aligned, and end with
// the end-of-file record.
Size LoadEnhanced(StreamReader& in, std::int64_t start, const std::uint8_t* head) {
    const std::int64_t length = LoadU32(head + 48);
    if (length > in.Size() - start)
        throw EReadError(kStreamReadError);
    if (length < kEmfHeaderBytes || length % 4 != 0)
        NotValid();

    const std::uint32_t header_record = LoadU32(head + 4);
    if (header_record < kEmfMinHeaderRecord || header_record % 4 != 0 || header_record > length) {
        NotValid();
    }
    const std::int64_t end = start + length;
    in.SeekTo(start + header_record);
    bool ended = false;
    while (in.Position() < end) {
        if (ended)
            NotValid();  // records after the end-of-file record
        if (end - in.Position() < 8)
            NotValid();
        const std::uint32_t type = in.ReadU32();
        const std::uint32_t size = in.ReadU32();
        if (size < 8 || size % 4 != 0 || size - 8 > end - in.Position())
            NotValid();
        if (type == kEmrHeader)
            NotValid();  // only one header, and it comes first
        ended = type == kEmrEof;
        in.Skip(size - 8);
    }
    if (!ended)
        NotValid();

    // The picture frame, in hundredths of a millimetre, and the reference
    // device the file was made for.
    const Extent frame =
        FrameExtent(LoadI32(head + 24), LoadI32(head + 28), LoadI32(head + 32), LoadI32(head + 36));
    const std::int64_t device_px_x = LoadI32(head + 72);
    const std::int64_t device_px_y = LoadI32(head + 76);
    const std::int64_t device_mm_x = LoadI32(head + 80);
    const std::int64_t device_mm_y = LoadI32(head + 84);
    if (!IsDeviceValue(device_px_x) || !IsDeviceValue(device_px_y) || !IsDeviceValue(device_mm_x) ||
        !IsDeviceValue(device_mm_y)) {
        NotValid();
    }
    return {DevicePixels(frame.width, device_px_x, device_mm_x),
            DevicePixels(frame.height, device_px_y, device_mm_y)};
}

// A placeable Windows metafile: the 22-byte placeable header, then a
// Windows metafile whose records run up to an end-of-file record.
Size LoadPlaceable(StreamReader& in) {
    if (in.Remaining() < kPlaceableHeaderBytes)
        NotValid();
    std::uint8_t h[kPlaceableHeaderBytes];
    in.ReadExact(h, sizeof h);
    if (LoadU32(h) != kPlaceableKey)
        NotValid();
    std::uint16_t checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= LoadU16(h + 2 * i);
    if (checksum != LoadU16(h + 20))
        NotValid();

    if (in.Remaining() < kWmfHeaderBytes)
        NotValid();
    std::uint8_t w[kWmfHeaderBytes];
    in.ReadExact(w, sizeof w);
    const std::uint16_t type = LoadU16(w);  // 1 in memory, 2 on disk
    const std::uint16_t header_words = LoadU16(w + 2);
    const std::uint16_t version = LoadU16(w + 4);
    if ((type != 1 && type != 2) || header_words != kWmfHeaderWords ||
        (version != 0x0100 && version != 0x0300)) {
        NotValid();
    }
    // Record sizes count 16-bit words and include the 6-byte record header.
    for (;;) {
        if (in.Remaining() < 6)
            NotValid();  // no end-of-file record
        const std::int64_t size_bytes = std::int64_t{in.ReadU32()} * 2;
        const std::uint16_t function = in.ReadU16();
        if (size_bytes < 6 || size_bytes - 6 > in.Remaining())
            NotValid();
        if (function == kMetaEof)
            break;
        in.Skip(size_bytes - 6);
    }

    const Extent frame =
        FrameExtent(LoadI16(h + 6), LoadI16(h + 8), LoadI16(h + 10), LoadI16(h + 12));
    const std::int64_t units_per_inch = LoadU16(h + 14);

    // First to hundredths of a millimetre, then to screen pixels. A file
    // that gives no resolution is taken as 96 units per inch and measured
    // against the reference device.
    const std::int64_t inch = units_per_inch != 0 ? units_per_inch : 96;
    const std::int64_t mm_width = RoundDiv(frame.width * 2540, inch);
    const std::int64_t mm_height = RoundDiv(frame.height * 2540, inch);
    if (units_per_inch == 0) {
        return {DevicePixels(mm_width, kReferenceDevicePixelsX, kReferenceDeviceMillimetresX),
                DevicePixels(mm_height, kReferenceDevicePixelsY, kReferenceDeviceMillimetresY)};
    }
    return {ToSize(RoundDiv(mm_width * kScreenPixelsPerInch, 2540)),
            ToSize(RoundDiv(mm_height * kScreenPixelsPerInch, 2540))};
}

}  // namespace

void TMetafile::LoadFromStream(TStream& stream) {
    StreamReader in(stream);
    const std::int64_t start = in.Position();
    bool enhanced = false;
    Size size{};
    if (in.Remaining() > kEmfHeaderBytes) {
        std::uint8_t head[kEmfHeaderBytes];
        in.ReadExact(head, sizeof head);
        if (LoadU32(head) == kEmrHeader && LoadU32(head + 40) == kEmfSignature) {
            enhanced = true;
            size = LoadEnhanced(in, start, head);
        } else {
            in.SeekTo(start);
        }
    }
    if (!enhanced)
        size = LoadPlaceable(in);
    width_ = size.width;
    height_ = size.height;
    enhanced_ = enhanced;
}

}  // namespace grix
