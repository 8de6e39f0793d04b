// Per-program call rates from FeeConf.xml. Built on the main thread during
// the settings load, read-only afterwards; main thread only throughout.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace talvio {

struct RateEntry {
    std::string prefix;  // as written in the file
    double rate = 0.0;   // the file's unit; lower is cheaper
    int mark = 0;        // 1 while added but not yet sorted in; 0 once read
};

// Byte comparison with letters as lower case; a string sorts before a longer
// one that begins with it. Negative, zero or positive like strcmp.
int ComparePrefixes(std::string_view a, std::string_view b);

// One program's rates in ascending ComparePrefixes order, each prefix at
// most once; the first rate given for a prefix wins. Added entries are
// sorted in as a batch when the list is next read, so a load of many
// thousand prefixes costs n log n rather than an array insert each.
class RateList {
public:
    void add(std::string_view prefix, double rate);

    const std::vector<RateEntry>& entries() const;
    std::size_t size() const { return entries().size(); }
    bool empty() const { return entries().empty(); }
    auto begin() const { return entries().begin(); }
    auto end() const { return entries().end(); }
    const RateEntry& operator[](std::size_t index) const { return entries()[index]; }

private:
    void settle() const;

    mutable std::vector<RateEntry> entries_;
    mutable std::size_t sorted_ = 0;  // entries_[0, sorted_) are in order
};

}  // namespace talvio
