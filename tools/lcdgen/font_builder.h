// Turns Debian's bitmap fonts into the LCD's fixed-height fonts: Latin
// glyphs fill a cell of the font's advance, fitted to the LCD row height;
// CJK glyphs keep their own box, centred vertically in the row. Build
// machine only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/lcdgen/pcf_reader.h"

namespace talvio::lcdgen {

struct CellGlyph {
    std::uint32_t code = 0;
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<bool> pixels;  // width x height, row-major
};

// The glyph of `code` in a cell of `cellHeight` rows. A source cell that is
// taller loses rows without moving the baseline where it can: an empty top
// row first, else an empty row above the baseline (the gap under an accent),
// else an empty bottom row, else the top row.
CellGlyph FitCellGlyph(const PcfFont& font, std::uint32_t code, int cellHeight);

// The glyph's own box, centred vertically in `cellHeight` rows (clipped).
CellGlyph FitBoxGlyph(const PcfFont& font, std::uint32_t code, int cellHeight);

// Whether the CJK font supplies `code`: ideographs, kana, CJK punctuation,
// full-width forms.
bool IsCjkCode(std::uint32_t code);

// The LCD font of `cellHeight` rows: the Latin font's BMP glyphs (but its
// CJK range), then the CJK font's for the CJK codes it lacks; no controls.
std::vector<CellGlyph> BuildFont(const PcfFont& latin, const PcfFont& cjk, int cellHeight);

// C++ source defining `name` (an LcdFont) from the glyphs, sorted by code.
std::string FontSource(const std::vector<CellGlyph>& glyphs, const std::string& name,
                       int cellHeight, int cellWidth);

}  // namespace talvio::lcdgen
