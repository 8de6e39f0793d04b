// Word-level helpers for the clients' reply texts. Every function works on
// the bytes of the given view only, so a text that arrived without its
// terminating zero is never read past its end.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace talvio::reply_text {

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

std::string_view SkipSpaces(std::string_view text);

// The leading run of non-space bytes after any spaces; `rest` is left just
// behind that word.
std::string_view NextWord(std::string_view& rest);

// A call or voicemail number: digits only, below 2^31 - 1 (so number + 1
// still fits an int). Anything else is none.
std::optional<int> ParseCallNumber(std::string_view word);

// Like the C library's atoi (leading blanks, sign, digits), but clamped to
// the int range instead of overflowing.
int ParseDecimal(std::string_view text);

// Calls `take(number)` for every run of digits in a "CALLS "/"VOICEMAILS "
// list; spaces and commas separate, other bytes are skipped. Runs too large
// for ParseCallNumber are skipped.
template <typename Take>
void ForEachListedNumber(std::string_view list, Take&& take) {
    std::size_t i = 0;
    while (i < list.size()) {
        if (list[i] < '0' || list[i] > '9') {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < list.size() && list[i] >= '0' && list[i] <= '9') ++i;
        if (const auto number = ParseCallNumber(list.substr(start, i - start))) take(*number);
    }
}

// Calls `take(handle)` for every handle of a "USERS " list: split at
// spaces, a ',' directly before a space (or at the end) is dropped.
template <typename Take>
void ForEachListedHandle(std::string_view list, Take&& take) {
    while (true) {
        std::string_view handle = NextWord(list);
        if (handle.empty()) return;
        if (handle.back() == ',') handle.remove_suffix(1);
        if (!handle.empty()) take(handle);
    }
}

}  // namespace talvio::reply_text
