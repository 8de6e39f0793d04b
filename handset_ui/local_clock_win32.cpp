#include <windows.h>

#include "handset_ui/local_clock.h"

namespace talvio {
namespace {

class Win32LocalClock : public LocalClock {
public:
    LocalTime Now() const override {
        SYSTEMTIME now;
        GetLocalTime(&now);
        return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    }

    LocalTime FromUnixTime(std::int64_t seconds) const override {
        // FILETIME counts 100 ns steps from 1601; FileTimeToLocalFileTime applies
        // today's bias, as the clients' own history views do.
        const std::uint64_t ticks = static_cast<std::uint64_t>(seconds + 11644473600LL) * 10000000ULL;
        const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        FILETIME local;
        SYSTEMTIME time;
        if (seconds < 0 || !FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time))
            return {1970, 1, 1, 0, 0, 0};
        return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
    }

    int ShortDate(const LocalTime& date, std::span<wchar_t> out) const override {
        SYSTEMTIME time = {};
        time.wYear = static_cast<WORD>(date.year);
        time.wMonth = static_cast<WORD>(date.month);
        time.wDay = static_cast<WORD>(date.day);
        const int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr,
                                          out.data(), static_cast<int>(out.size()));
        return length > 0 ? length - 1 : 0;  // without the terminating zero
    }
};

}  // namespace

const LocalClock& SystemLocalClock() {
    static const Win32LocalClock clock;
    return clock;
}

}  // namespace talvio
