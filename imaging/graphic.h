// The common base of the graphic kinds a picture can hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "imaging/stream.h"

namespace grix {

class TGraphic {
  public:
    TGraphic() = default;
    virtual ~TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    [[nodiscard]] virtual std::int32_t Height() const = 0;
    [[nodiscard]] virtual std::int32_t Width() const = 0;

    // Opens the file for reading (EFOpenError when it cannot be opened) and
    // loads from its first byte to its end; the file is closed on every path.
    void LoadFromFile(const std::string& path);
    // Loads from the stream's current position to its end. On failure the
    // graphic keeps what it had.
    virtual void LoadFromStream(TStream& stream) = 0;
    void LoadFromBytes(const void* data, std::size_t size);
};

// A graphic kind as the format registry holds it: a way to make an empty one.
using TGraphicClass = std::unique_ptr<TGraphic> (*)();

template <typename Kind>
std::unique_ptr<TGraphic> CreateGraphic() {
    return std::make_unique<Kind>();
}

}  // namespace grix
