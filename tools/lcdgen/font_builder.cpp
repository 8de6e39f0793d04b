#include "tools/lcdgen/font_builder.h"

#include <algorithm>
#include <cstdio>

namespace talvio::lcdgen {
namespace {

bool IsControl(std::uint32_t code) { return code < 0x20 || (code >= 0x7F && code < 0xA0); }

struct Rows {
    int width;
    std::vector<std::vector<bool>> rows;

    bool Empty(int y) const {
        return std::none_of(rows[y].begin(), rows[y].end(), [](bool ink) { return ink; });
    }
};

}  // namespace

bool IsCjkCode(std::uint32_t code) {
    return (code >= 0x4E00 && code <= 0x9FA5) || (code >= 0x3000 && code <= 0x30FF) ||
           (code >= 0xFF01 && code <= 0xFF5E);
}

CellGlyph FitCellGlyph(const PcfFont& font, std::uint32_t code, int cellHeight) {
    const PcfGlyph& source = font.glyphs.at(code);
    Rows cell{source.advance, {}};
    const int sourceHeight = font.ascent + font.descent;
    for (int y = 0; y < sourceHeight; ++y) {
        std::vector<bool> row(cell.width, false);
        for (int x = 0; x < cell.width; ++x)
            row[x] = source.Ink(x - source.left, y - (font.ascent - source.ascent));
        cell.rows.push_back(std::move(row));
    }
    int baseline = font.ascent;
    while (static_cast<int>(cell.rows.size()) > cellHeight) {
        int remove = 0;
        if (!cell.Empty(0)) {
            remove = -1;
            for (int y = 1; y < baseline && remove < 0; ++y)
                if (cell.Empty(y)) remove = y;
            if (remove < 0) {
                const int bottom = static_cast<int>(cell.rows.size()) - 1;
                remove = cell.Empty(bottom) ? bottom : 0;
            }
        }
        cell.rows.erase(cell.rows.begin() + remove);
        if (remove < baseline) --baseline;
    }
    while (static_cast<int>(cell.rows.size()) < cellHeight)
        cell.rows.push_back(std::vector<bool>(cell.width, false));

    CellGlyph glyph{code, source.advance, 0, 0, cell.width, cellHeight, {}};
    for (const auto& row : cell.rows) glyph.pixels.insert(glyph.pixels.end(), row.begin(), row.end());
    return glyph;
}

CellGlyph FitBoxGlyph(const PcfFont& font, std::uint32_t code, int cellHeight) {
    const PcfGlyph& source = font.glyphs.at(code);
    const int height = std::min(source.height, cellHeight);
    const int width = std::min(source.width, 16);
    CellGlyph glyph{code, source.advance, std::max(source.left, 0), (cellHeight - height + 1) / 2,
                    width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) glyph.pixels.push_back(source.Ink(x, y));
    return glyph;
}

std::vector<CellGlyph> BuildFont(const PcfFont& latin, const PcfFont& cjk, int cellHeight) {
    std::vector<CellGlyph> glyphs;
    for (const auto& [code, glyph] : latin.glyphs) {
        if (code > 0xFFFF || IsControl(code) || code >= 0x2E80) continue;
        if (glyph.advance < 1 || glyph.advance > 16) continue;
        glyphs.push_back(FitCellGlyph(latin, code, cellHeight));
    }
    for (const auto& [code, glyph] : cjk.glyphs) {
        if (!IsCjkCode(code) || glyph.advance < 1) continue;
        glyphs.push_back(FitBoxGlyph(cjk, code, cellHeight));
    }
    std::sort(glyphs.begin(), glyphs.end(),
              [](const CellGlyph& a, const CellGlyph& b) { return a.code < b.code; });
    return glyphs;
}

std::string FontSource(const std::vector<CellGlyph>& glyphs, const std::string& name,
                       int cellHeight, int cellWidth) {
    std::string runs;
    std::vector<std::uint8_t> bytes;
    std::uint64_t bit = 0;
    auto putBit = [&](bool on) {
        if (bit % 8 == 0) bytes.push_back(0);
        if (on) bytes.back() |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
        ++bit;
    };
    std::size_t i = 0;
    int runCount = 0;
    while (i < glyphs.size()) {
        const CellGlyph& first = glyphs[i];
        std::size_t end = i + 1;
        while (end < glyphs.size() && end - i < 0xFFFF && glyphs[end].code == first.code + (end - i) &&
               glyphs[end].advance == first.advance && glyphs[end].left == first.left &&
               glyphs[end].top == first.top && glyphs[end].width == first.width &&
               glyphs[end].height == first.height)
            ++end;
        char line[128];
        std::snprintf(line, sizeof line, "    {0x%04X, %zu, %d, %d, %d, %d, %d, %llu},\n",
                      static_cast<unsigned>(first.code), end - i, first.advance, first.left,
                      first.top, first.width, first.height, static_cast<unsigned long long>(bit));
        runs += line;
        ++runCount;
        for (; i < end; ++i)
            for (bool on : glyphs[i].pixels) putBit(on);
    }
    bytes.insert(bytes.end(), 3, 0);  // LcdFont::Row reads three bytes at a time

    std::string out;
    out += "namespace {\n\nconstexpr LcdGlyphRun " + name + "Runs[] = {\n" + runs + "};\n\n";
    // A string literal compiles far faster than an initialiser list of this size.
    out += "constexpr unsigned char " + name + "Bits[] =\n";
    char escape[8];
    for (std::size_t b = 0; b < bytes.size(); ++b) {
        if (b % 32 == 0) out += "    \"";
        std::snprintf(escape, sizeof escape, "\\%03o", bytes[b]);
        out += escape;
        if (b % 32 == 31 || b + 1 == bytes.size()) out += "\"\n";
    }
    out += "    ;\n\n}  // namespace\n\n";
    out += "extern const LcdFont " + name + ";\n";
    out += "constexpr LcdFont " + name + "(" + name + "Runs, " + name + "Bits, " +
           std::to_string(cellHeight) + ", " + std::to_string(cellWidth) +
           ");  // " + std::to_string(runCount) + " runs, " + std::to_string(glyphs.size()) +
           " glyphs\n";
    return out;
}

}  // namespace talvio::lcdgen
