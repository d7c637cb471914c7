#include "archive/dos_time.h"

#include "core/platform.h"

namespace grix {

DosDateTime DosDateTimeFromUnix(std::time_t t) {
    std::tm local{};
    const bool ok = platform::LocalTime(t, local);
    DosDateTime out;
    if (!ok || local.tm_year < 80) {
        out.date = (0 << 9) | (1 << 5) | 1;
        out.time = 0;
        return out;
    }
    if (local.tm_year > 207) {
        out.date = static_cast<std::uint16_t>((127 << 9) | (12 << 5) | 31);
        out.time = static_cast<std::uint16_t>((23 << 11) | (59 << 5) | 29);
        return out;
    }
    // A leap second (tm_sec 60) is kept inside the field's range.
    const int seconds = local.tm_sec > 59 ? 59 : local.tm_sec;
    out.date = static_cast<std::uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) |
                                          local.tm_mday);
    out.time = static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (seconds / 2));
    return out;
}

DosDateTime DosDateTimeNow() { return DosDateTimeFromUnix(std::time(nullptr)); }

}  // namespace grix
