#include <cstdio>

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
