// The wall clock and the user's date format as the LCD shows them. An
// injected seam: widgets read local time only through it, so tests give
// them a clock of their own. Main thread only.
#pragma once

#include <cstdint>
#include <span>

namespace talvio {

struct LocalTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual LocalTime Now() const = 0;
    // A client's time stamp (seconds since 1970 UTC) in local time.
    virtual LocalTime FromUnixTime(std::int64_t seconds) const = 0;
    // The date in the user's short date format into `out`; its length, 0
    // when it does not fit or cannot be made.
    virtual int ShortDate(const LocalTime& date, std::span<wchar_t> out) const = 0;
};

// The system's: Win32 local time and GetDateFormatW with the user's short
// date format. Hosted: a fixed day, 2024-03-05, from 09:41:00 moving with the
// desktop's virtual clock, time stamps in UTC, dates as M/d/yyyy. Lives for
// the process.
const LocalClock& SystemLocalClock();

}  // namespace talvio
