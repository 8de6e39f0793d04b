#include "update/version_number.h"

#include <algorithm>

namespace talvio {
namespace {

// The next group of `rest`, which is left after the group's dot; empty once
// the number has no more groups.
std::wstring_view NextGroup(std::wstring_view& rest) {
    const std::size_t dot = rest.find(L'.');
    const std::wstring_view group = rest.substr(0, dot);
    rest = dot == std::wstring_view::npos ? std::wstring_view() : rest.substr(dot + 1);
    return group;
}

bool AllDigits(std::wstring_view group) {
    return std::all_of(group.begin(), group.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

int Sign(int value) { return (value > 0) - (value < 0); }

// Digits are compared as written, without conversion, so no group is too
// long to order.
int CompareNumbers(std::wstring_view a, std::wstring_view b) {
    a.remove_prefix(std::min(a.find_first_not_of(L'0'), a.size()));
    b.remove_prefix(std::min(b.find_first_not_of(L'0'), b.size()));
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return Sign(a.compare(b));
}

int CompareGroups(std::wstring_view a, std::wstring_view b) {
    const bool aNumber = AllDigits(a);  // true for an empty group: 0
    const bool bNumber = AllDigits(b);
    if (aNumber && bNumber) return CompareNumbers(a, b);
    if (aNumber != bNumber) return aNumber ? -1 : 1;
    return Sign(a.compare(b));
}

}  // namespace

int CompareVersions(std::wstring_view a, std::wstring_view b) {
    while (!a.empty() || !b.empty()) {
        if (const int order = CompareGroups(NextGroup(a), NextGroup(b))) return order;
    }
    return 0;
}

}  // namespace talvio
