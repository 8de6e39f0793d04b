// Word-level helpers for the clients' reply texts. Every function works on
// the bytes of the given view only, so a text that arrived without its
// terminating zero is never read past its end.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
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
// spaces, a ',' directly before a space (or at the end) is dropped; with
// `commasSeparate` every ',' splits as a space does.
template <typename Take>
void ForEachListedHandle(std::string_view list, bool commasSeparate, Take&& take) {
    while (true) {
        std::string_view handle = NextWord(list);
        if (handle.empty()) return;
        if (commasSeparate) {
            std::size_t comma;
            while ((comma = handle.find(',')) != std::string_view::npos) {
                if (comma > 0) take(handle.substr(0, comma));
                handle.remove_prefix(comma + 1);
            }
        } else if (handle.back() == ',') {
            handle.remove_suffix(1);
        }
        if (!handle.empty()) take(handle);
    }
}

struct WordValue {
    std::string_view word;
    int value;
};

// The value of `word` in the table, compared without regard to case; or
// `otherwise`.
int LookUpWord(std::span<const WordValue> table, std::string_view word, int otherwise);

// The user status of a "USERSTATUS " word (exact): UNKNOWN 0 ... LOGGEDOUT 7;
// none for any other word.
std::optional<int> UserStatusOf(std::string_view word);

// A "CALL " notification after its keyword: the stored id (call number
// plus one), the property word and the value after the spaces. None when
// the number is not a call number or the property is missing.
struct CallNotice {
    int id;
    std::string_view property;
    std::string_view value;
};
std::optional<CallNotice> ParseCallNotice(std::string_view rest);

// A call's "TYPE" value.
struct CallTypeWord {
    bool outgoing;
    bool pstn;
};
CallTypeWord ParseCallType(std::string_view value);

}  // namespace talvio::reply_text
