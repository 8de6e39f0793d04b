// The LCD's two bitmap fonts, rasterised at build time (tools/lcdgen) from
// the bitmap fonts Debian ships: misc-fixed for the alphabetic scripts and
// WenQuanYi Bitmap Song for the CJK ideographs U+4E00..U+9FA5 (every one the
// LCD encoding maps through GBK), kana, CJK punctuation and full-width forms.
// Read-only tables: any thread.
#pragma once

#include <cstdint>
#include <span>

namespace talvio {

// Consecutive code points whose glyphs share one box in the character cell.
// Glyph i of the run is width x height bits, row-major, leftmost pixel
// first, starting at bit bitOffset + i * width * height of the font's bits.
struct LcdGlyphRun {
    std::uint16_t first;
    std::uint16_t count;
    std::uint8_t advance;
    std::uint8_t left;
    std::uint8_t top;
    std::uint8_t width;  // at most 16
    std::uint8_t height;
    std::uint32_t bitOffset;
};

struct LcdGlyph {
    const LcdGlyphRun* run = nullptr;  // null: no glyph (drawn as a box, or nothing for controls)
    std::uint32_t bitOffset = 0;
    int advance = 0;
};

class LcdFont {
public:
    // `bits` must be followed by at least two readable bytes past the last glyph.
    constexpr LcdFont(std::span<const LcdGlyphRun> runs, const std::uint8_t* bits, int height,
                      int cellWidth)
        : runs_(runs), bits_(bits), height_(height), cellWidth_(cellWidth) {}

    int height() const { return height_; }        // line height in pixels
    int cellWidth() const { return cellWidth_; }  // advance of Latin letters and of the box

    // Control characters have no glyph and no advance; any other character
    // without a glyph is drawn as a box one cell wide.
    LcdGlyph Find(char32_t code) const;
    // Row y of a glyph, its leftmost pixel in bit 15.
    std::uint16_t Row(const LcdGlyph& glyph, int y) const;

private:
    std::span<const LcdGlyphRun> runs_;
    const std::uint8_t* bits_;
    int height_;
    int cellWidth_;
};

enum class LcdFontSize { kLarge, kSmall };

// Large: 15 rows, Latin letters 9 wide, ideographs 15; the default of text
// widgets. Small: 11 rows, Latin letters 6 wide, ideographs 12.
const LcdFont& LcdFontOf(LcdFontSize size);

}  // namespace talvio
