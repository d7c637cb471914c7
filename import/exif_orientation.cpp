#include "import/exif_orientation.h"

#include <cstring>

namespace grix {
namespace {

// A bounds-checked reader of the Exif block's TIFF structure, in its own
// byte order. Any read past the end answers 0, which no orientation is.
class TiffReader {
  public:
    TiffReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool SetOrder() {
        if (size_ >= 2 && data_[0] == 'I' && data_[1] == 'I') {
            little_ = true;
        } else if (size_ >= 2 && data_[0] == 'M' && data_[1] == 'M') {
            little_ = false;
        } else {
            return false;
        }
        return U16(2) == 42;
    }
    std::uint32_t U16(std::size_t at) const {
        if (at > size_ || size_ - at < 2)
            return 0;
        return little_ ? data_[at] | (data_[at + 1] << 8) : (data_[at] << 8) | data_[at + 1];
    }
    std::uint32_t U32(std::size_t at) const {
        const std::uint32_t a = U16(at), b = U16(at + 2);
        return little_ ? a | (b << 16) : (a << 16) | b;
    }
    std::size_t Size() const { return size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    bool little_ = true;
};

int OrientationInExif(const std::uint8_t* exif, std::size_t size) {
    TiffReader tiff(exif, size);
    if (!tiff.SetOrder())
        return 1;
    const std::size_t directory = tiff.U32(4);
    const std::uint32_t entries = tiff.U16(directory);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + std::size_t{i} * 12;
        if (entry + 12 > tiff.Size())
            break;
        if (tiff.U16(entry) == 0x0112) {  // Orientation, a SHORT
            const std::uint32_t value = tiff.U16(entry + 8);
            return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
        }
    }
    return 1;
}

}  // namespace

int JpegExifOrientation(const std::uint8_t* data, std::size_t size) {
    // Markers from the start of image up to the first scan; each segment
    // gives its length (itself included) after the marker.
    std::size_t at = 2;
    while (at + 4 <= size && data[at] == 0xFF) {
        const std::uint8_t marker = data[at + 1];
        if (marker == 0xDA || marker == 0xD9)
            break;
        const std::size_t length = (std::size_t{data[at + 2]} << 8) | data[at + 3];
        if (length < 2 || length > size - at - 2)
            break;
        const std::uint8_t* body = data + at + 4;
        const std::size_t body_size = length - 2;
        if (marker == 0xE1 && body_size > 6 && std::memcmp(body, "Exif\0\0", 6) == 0)
            return OrientationInExif(body + 6, body_size - 6);
        at += 2 + length;
    }
    return 1;
}

LumaImage Orient(const LumaImage& stored, int orientation) {
    if (orientation < 2 || orientation > 8)
        return stored;
    const int w = stored.width, h = stored.height;
    LumaImage out;
    out.width = SwapsSides(orientation) ? h : w;
    out.height = SwapsSides(orientation) ? w : h;
    out.y.resize(stored.y.size());
    std::uint8_t* p = out.y.data();
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            int sx = x, sy = y;
            switch (orientation) {
                case 2:
                    sx = w - 1 - x;
                    break;
                case 3:
                    sx = w - 1 - x, sy = h - 1 - y;
                    break;
                case 4:
                    sy = h - 1 - y;
                    break;
                case 5:
                    sx = y, sy = x;
                    break;
                case 6:
                    sx = y, sy = h - 1 - x;
                    break;
                case 7:
                    sx = w - 1 - y, sy = h - 1 - x;
                    break;
                case 8:
                    sx = w - 1 - y, sy = x;
                    break;
                default:
                    break;
            }
            *p++ = stored.At(sx, sy);
        }
    }
    return out;
}

}  // namespace grix
