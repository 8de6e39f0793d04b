// A local clock that stands where the test puts it, with day.month. dates
// and time stamps read as UTC.
#pragma once

#include <algorithm>
#include <ctime>
#include <string>

#include "handset_ui/local_clock.h"

namespace talvio::testing {

class FixedClock : public LocalClock {
public:
    LocalTime now{2024, 12, 31, 9, 5, 0};
    LocalTime Now() const override { return now; }
    LocalTime FromUnixTime(std::int64_t seconds) const override {
        const std::time_t time = static_cast<std::time_t>(seconds);
        const std::tm* utc = std::gmtime(&time);  // tests run on one thread
        if (utc == nullptr) return {};
        return {utc->tm_year + 1900, utc->tm_mon + 1, utc->tm_mday, utc->tm_hour, utc->tm_min, utc->tm_sec};
    }
    int ShortDate(const LocalTime& date, std::span<wchar_t> out) const override {
        const std::wstring text = std::to_wstring(date.day) + L"." + std::to_wstring(date.month) + L".";
        if (text.size() > out.size()) return 0;
        std::copy(text.begin(), text.end(), out.begin());
        return static_cast<int>(text.size());
    }
};

}  // namespace talvio::testing
