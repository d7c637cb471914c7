// The byte sources a graphic loads from: an open file or a block of memory.
// Both report their length up front, so decoders can weigh every size a
// header claims against the bytes that really exist before allocating.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/file.h"

namespace grix {

class TStream {
  public:
    virtual ~TStream() = default;
    // Reads up to count bytes from the current position; fewer only at the
    // end. A failing device raises EReadError ("Stream read error").
    [[nodiscard]] virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Total length in bytes, fixed when the stream was made.
    [[nodiscard]] virtual std::int64_t Size() const = 0;
    [[nodiscard]] virtual std::int64_t Position() const = 0;
    // Moves to a position between 0 and Size(); anything else is EReadError.
    virtual void Seek(std::int64_t position) = 0;
};

// A file opened for reading. Other programs may still read it meanwhile;
// POSIX has no share modes to keep writers out, so a file that shrinks under
// us simply reads short, which the decoders already handle.
class TFileStream final : public TStream {
  public:
    // Opens or raises EFOpenError: "Cannot open file "<full path>". <reason>".
    explicit TFileStream(const std::string& path);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::int64_t Size() const override { return size_; }
    std::int64_t Position() const override { return position_; }
    void Seek(std::int64_t position) override;

  private:
    File file_;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
};

// Bytes owned by someone else, who keeps them alive while the stream is used.
class TMemoryStream final : public TStream {
  public:
    TMemoryStream(const void* data, std::size_t size)
        : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(size_); }
    std::int64_t Position() const override { return static_cast<std::int64_t>(position_); }
    void Seek(std::int64_t position) override;

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// The message of a file that cannot be opened for reading, with the full path
// and the platform's text for errno value `err`.
std::string CannotOpenFileMessage(const std::string& path, int err);

}  // namespace grix
