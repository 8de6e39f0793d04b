#include "handset_ui/lcd_font.h"

#include <algorithm>

namespace talvio {

extern const LcdFont kLcdLargeFont;
extern const LcdFont kLcdSmallFont;

namespace {

bool IsControl(char32_t code) { return code < 0x20 || (code >= 0x7F && code < 0xA0); }

}  // namespace

LcdGlyph LcdFont::Find(char32_t code) const {
    if (IsControl(code)) return {};
    if (code <= 0xFFFF) {
        const auto after = std::upper_bound(
            runs_.begin(), runs_.end(), code,
            [](char32_t value, const LcdGlyphRun& run) { return value < run.first; });
        if (after != runs_.begin()) {
            const LcdGlyphRun& run = *(after - 1);
            const std::uint32_t index = code - run.first;
            if (index < run.count)
                return {&run, run.bitOffset + index * run.width * run.height, run.advance};
        }
    }
    return {nullptr, 0, cellWidth_};
}

std::uint16_t LcdFont::Row(const LcdGlyph& glyph, int y) const {
    const std::uint32_t bit = glyph.bitOffset + static_cast<std::uint32_t>(y) * glyph.run->width;
    const std::uint8_t* p = bits_ + bit / 8;
    const std::uint32_t window = (std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2])
                                 << (bit % 8);
    const auto row = static_cast<std::uint16_t>(window >> 8);
    return static_cast<std::uint16_t>(row & (0xFFFF0000u >> glyph.run->width));
}

const LcdFont& LcdFontOf(LcdFontSize size) {
    return size == LcdFontSize::kSmall ? kLcdSmallFont : kLcdLargeFont;
}

}  // namespace talvio
