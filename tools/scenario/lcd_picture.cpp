#include "tools/scenario/lcd_picture.h"

#include <charconv>

namespace talvio::scenario {
namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 64;

bool Number(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

LcdPicture ParseLcdPicture(std::string_view text) {
    LcdPicture rows;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // Headers, comments and anything else are not rows of the picture.
        if (line.size() != kWidth || line.find_first_not_of("01#.") != std::string::npos) continue;
        for (char& c : line) c = c == '1' || c == '#' ? '#' : '.';
        rows.push_back(std::move(line));
    }
    if (rows.size() != kHeight) rows.clear();
    return rows;
}

bool ParseLcdRegion(const std::vector<std::string>& words, LcdRegion& region) {
    for (std::size_t i = 0; i < words.size(); i += 3) {
        if (i + 2 >= words.size()) return false;
        int first = 0;
        int second = 0;
        if (!Number(words[i + 1], first) || !Number(words[i + 2], second)) return false;
        if (words[i] == "rows") {
            region.top = first;
            region.bottom = second;
        } else if (words[i] == "columns") {
            region.left = first;
            region.right = second;
        } else if (words[i] == "from") {
            region.dx = first;
            region.dy = second;
        } else {
            return false;
        }
    }
    return region.top >= 0 && region.top < region.bottom && region.bottom <= kHeight && region.left >= 0 &&
           region.left < region.right && region.right <= kWidth && region.top + region.dy >= 0 &&
           region.bottom + region.dy <= kHeight;
}

int CountLcdDifferences(const LcdPicture& shown, const LcdPicture& expected, const LcdRegion& region) {
    if (shown.size() != kHeight || expected.size() != kHeight) return -1;
    int differences = 0;
    for (int y = region.top; y < region.bottom; ++y) {
        for (int x = region.left; x < region.right; ++x) {
            const int ex = x + region.dx;
            const char want = ex >= 0 && ex < kWidth ? expected[y + region.dy][ex] : '.';
            if (shown[y][x] != want) ++differences;
        }
    }
    return differences;
}

}  // namespace talvio::scenario
