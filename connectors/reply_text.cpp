#include "connectors/reply_text.h"

#include <climits>
#include <iterator>

namespace talvio::reply_text {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string_view SkipSpaces(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    return text.substr(i);
}

std::string_view NextWord(std::string_view& rest) {
    rest = SkipSpaces(rest);
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != ' ') ++end;
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

std::optional<int> ParseCallNumber(std::string_view word) {
    if (word.empty()) return std::nullopt;
    long long value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value >= INT_MAX) return std::nullopt;
    }
    return static_cast<int>(value);
}

int ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int LookUpWord(std::span<const WordValue> table, std::string_view word, int otherwise) {
    for (const WordValue& entry : table) {
        if (EqualsNoCase(entry.word, word)) return entry.value;
    }
    return otherwise;
}

std::optional<int> UserStatusOf(std::string_view word) {
    static constexpr std::string_view kWords[] = {"UNKNOWN", "ONLINE", "OFFLINE",   "AWAY",
                                                  "NA",      "DND",    "INVISIBLE", "LOGGEDOUT"};
    for (std::size_t i = 0; i < std::size(kWords); ++i) {
        if (kWords[i] == word) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<CallNotice> ParseCallNotice(std::string_view rest) {
    const auto number = ParseCallNumber(NextWord(rest));
    if (!number) return std::nullopt;
    const std::string_view property = NextWord(rest);
    if (property.empty()) return std::nullopt;
    return CallNotice{*number + 1, property, SkipSpaces(rest)};
}

CallTypeWord ParseCallType(std::string_view value) {
    return {EqualsNoCase(value, "OUTGOING_P2P") || EqualsNoCase(value, "OUTGOING_PSTN"),
            EqualsNoCase(value, "OUTGOING_PSTN") || EqualsNoCase(value, "INCOMING_PSTN")};
}

}  // namespace talvio::reply_text
