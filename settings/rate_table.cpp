#include "settings/rate_table.h"

#include <algorithm>

namespace talvio {
namespace {

unsigned char Lower(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool Before(const RateEntry& a, const RateEntry& b) { return ComparePrefixes(a.prefix, b.prefix) < 0; }

}  // namespace

int ComparePrefixes(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int difference = Lower(a[i]) - Lower(b[i]);
        if (difference != 0) return difference;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

void RateList::add(std::string_view prefix, double rate) {
    entries_.push_back(RateEntry{std::string(prefix), rate, 1});
}

const std::vector<RateEntry>& RateList::entries() const {
    if (sorted_ != entries_.size()) settle();
    return entries_;
}

// The same list that inserting each entry in turn would give (a walk to the
// first entry not below it, nothing when equal): stable sorting and merging
// keep earlier entries ahead of equal later ones, and unique keeps the first.
void RateList::settle() const {
    const auto added = entries_.begin() + static_cast<std::ptrdiff_t>(sorted_);
    std::stable_sort(added, entries_.end(), Before);
    std::inplace_merge(entries_.begin(), added, entries_.end(), Before);
    const auto last = std::unique(entries_.begin(), entries_.end(),
                                  [](const RateEntry& a, const RateEntry& b) {
                                      return ComparePrefixes(a.prefix, b.prefix) == 0;
                                  });
    entries_.erase(last, entries_.end());
    for (RateEntry& entry : entries_) entry.mark = 0;
    sorted_ = entries_.size();
}

}  // namespace talvio
