#include "tools/lcdgen/icon_art.h"

#include <cstdio>

namespace talvio::lcdgen {
namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::optional<std::vector<IconRows>> ReadIconArt(std::string_view text, int count,
                                                 std::string& error) {
    std::vector<IconRows> icons;
    int row = 16;  // rows read of the current icon
    int lineNumber = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNumber) + ": " + why;
        return std::nullopt;
    };
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';') continue;
        if (line.substr(0, 5) == "icon ") {
            if (row != 16) return fail("icon header inside an icon");
            const std::string expected = "icon " + std::to_string(icons.size());
            if (line.substr(0, expected.size()) != expected ||
                (line.size() > expected.size() && line[expected.size()] != ' '))
                return fail("expected \"" + expected + "\"");
            icons.push_back({});
            row = 0;
            continue;
        }
        if (row == 16) return fail("pixel row outside an icon");
        if (line.size() != 16) return fail("a pixel row has 16 characters");
        std::uint16_t bits = 0;
        for (int x = 0; x < 16; ++x) {
            if (line[x] != '#' && line[x] != '.') return fail("pixels are '#' or '.'");
            if (line[x] == '#') bits |= static_cast<std::uint16_t>(0x8000 >> x);
        }
        icons.back()[row++] = bits;
    }
    if (row != 16) return fail("the last icon has fewer than 16 rows");
    if (static_cast<int>(icons.size()) != count)
        return fail("expected " + std::to_string(count) + " icons, found " +
                    std::to_string(icons.size()));
    return icons;
}

std::vector<std::uint8_t> StripBitmap(const std::vector<IconRows>& icons, int bitsPerPixel) {
    const int width = static_cast<int>(icons.size()) * 16;
    const int stride = (width * bitsPerPixel + 31) / 32 * 4;
    const std::uint32_t paletteSize = bitsPerPixel == 1 ? 8 : 0;
    const std::uint32_t dataOffset = 14 + 40 + paletteSize;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, dataOffset + stride * 16);
    Put32(out, 0);
    Put32(out, dataOffset);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, 16);  // bottom-up
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bitsPerPixel));
    Put32(out, 0);  // BI_RGB
    Put32(out, static_cast<std::uint32_t>(stride * 16));
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, bitsPerPixel == 1 ? 2 : 0);
    Put32(out, 0);
    if (bitsPerPixel == 1) {
        Put32(out, 0x00000000);
        Put32(out, 0x00FFFFFF);
    }
    for (int y = 15; y >= 0; --y) {
        std::vector<std::uint8_t> line(stride, 0);
        for (int x = 0; x < width; ++x) {
            if (!(icons[x / 16][y] & (0x8000 >> (x % 16)))) continue;
            if (bitsPerPixel == 1) {
                line[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            } else {
                line[x * 3] = line[x * 3 + 1] = line[x * 3 + 2] = 0xFF;
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

std::string IconSource(const std::vector<IconRows>& icons, const std::string& name) {
    std::string out = "extern const LcdIcon " + name + "[" + std::to_string(icons.size()) + "];\n";
    out += "constexpr LcdIcon " + name + "[" + std::to_string(icons.size()) + "] = {\n";
    char word[16];
    for (const IconRows& icon : icons) {
        out += "    {{";
        for (int y = 0; y < 16; ++y) {
            std::snprintf(word, sizeof word, "%s0x%04X", y ? ", " : "", icon[y]);
            out += word;
        }
        out += "}},\n";
    }
    out += "};\n";
    return out;
}

}  // namespace talvio::lcdgen
