#include <cstdio>
#include <ctime>

#include "handset_ui/local_clock.h"
#include "platform/platform.h"

namespace talvio {
namespace {

class HostedLocalClock : public LocalClock {
public:
    // One day is enough for any test; the clock wraps at midnight.
    LocalTime Now() const override {
        const std::uint32_t seconds = (9 * 3600 + 41 * 60 + os::GetTickCount() / 1000) % 86400;
        return {2024, 3, 5, static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                static_cast<int>(seconds % 60)};
    }

    LocalTime FromUnixTime(std::int64_t seconds) const override {
        const std::time_t time = static_cast<std::time_t>(seconds < 0 ? 0 : seconds);
        std::tm utc{};
        if (gmtime_r(&time, &utc) == nullptr) return {1970, 1, 1, 0, 0, 0};
        return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec};
    }

    int ShortDate(const LocalTime& date, std::span<wchar_t> out) const override {
        const int length = std::swprintf(out.data(), out.size(), L"%d/%d/%d", date.month, date.day,
                                         date.year);
        return length > 0 ? length : 0;
    }
};

}  // namespace

const LocalClock& SystemLocalClock() {
    static const HostedLocalClock clock;
    return clock;
}

}  // namespace talvio
