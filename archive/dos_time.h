// Time stamps as ZIP entries carry them: a local DOS date and time.
#pragma once

#include <cstdint>
#include <ctime>

namespace grix {

struct DosDateTime {
    std::uint16_t date = 0;  // bits 9-15 year - 1980, 5-8 month, 0-4 day
    std::uint16_t time = 0;  // bits 11-15 hour, 5-10 minute, 0-4 second / 2

    // One number that orders time stamps: date in the high half.
    std::uint32_t Packed() const noexcept { return (std::uint32_t{date} << 16) | time; }
};

// The local time of `t` with two-second resolution (odd seconds round down).
// The format spans 1980 to 2107: earlier moments become 1980-01-01 00:00:00,
// later ones 2107-12-31 23:59:58, as other ZIP writers do.
DosDateTime DosDateTimeFromUnix(std::time_t t);

// The current local time.
DosDateTime DosDateTimeNow();

}  // namespace grix
