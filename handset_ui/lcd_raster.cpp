#include "handset_ui/lcd_raster.h"

#include <algorithm>
#include <cstdint>

namespace talvio {
namespace {

enum class Op { kSet, kClear, kInvert, kCopy };

os::Rect Intersect(const os::Rect& a, const os::Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

os::Rect CanvasRect(const LcdCanvas& canvas) { return {0, 0, canvas.width(), canvas.height()}; }

// Applies the `width` leftmost bits of `bits` (bit 31 first) to row y from
// column x, within `clip`, which must lie inside the canvas.
void ApplySpan(LcdCanvas& canvas, int y, int x, std::uint32_t bits, int width, const os::Rect& clip,
               Op op) {
    if (y < clip.top || y >= clip.bottom || width <= 0) return;
    std::uint32_t mask = width >= 32 ? ~0u : ~(~0u >> width);
    if (x < clip.left) {
        const int skip = clip.left - x;
        if (skip >= 32) return;
        mask &= ~0u >> skip;
    }
    if (x + width > clip.right) {
        const int keep = clip.right - x;
        if (keep <= 0) return;
        if (keep < 32) mask &= ~(~0u >> keep);
    }
    if (mask == 0) return;
    if (x < 0) {
        // Only pixels at 0 or beyond survived the clip, so the shift is below 32.
        bits <<= -x;
        mask <<= -x;
        x = 0;
    }
    const std::uint64_t wideBits = (std::uint64_t{bits} << 32) >> (x % 8);
    const std::uint64_t wideMask = (std::uint64_t{mask} << 32) >> (x % 8);
    std::uint8_t* row = canvas.dibBits() + static_cast<std::size_t>(y) * canvas.dibStride() + x / 8;
    const int bytes = std::min(5, canvas.dibStride() - x / 8);
    for (int k = 0; k < bytes; ++k) {
        const auto m = static_cast<std::uint8_t>(wideMask >> (56 - 8 * k));
        if (m == 0) continue;
        const auto b = static_cast<std::uint8_t>(wideBits >> (56 - 8 * k));
        switch (op) {
            case Op::kSet: row[k] |= b & m; break;
            case Op::kClear: row[k] &= static_cast<std::uint8_t>(~(b & m)); break;
            case Op::kInvert: row[k] ^= b & m; break;
            case Op::kCopy: row[k] = static_cast<std::uint8_t>((row[k] & ~m) | (b & m)); break;
        }
    }
}

void Fill(LcdCanvas& canvas, const os::Rect& rect, const os::Rect& clip, Op op) {
    const os::Rect area = Intersect(rect, clip);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; x += 32)
            ApplySpan(canvas, y, x, ~0u, std::min(32, area.right - x), clip, op);
}

void OutlineIn(LcdCanvas& canvas, const os::Rect& rect, const os::Rect& clip) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    Fill(canvas, {rect.left, rect.top, rect.right, rect.top + 1}, clip, Op::kSet);
    Fill(canvas, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, clip, Op::kSet);
    Fill(canvas, {rect.left, rect.top, rect.left + 1, rect.bottom}, clip, Op::kSet);
    Fill(canvas, {rect.right - 1, rect.top, rect.right, rect.bottom}, clip, Op::kSet);
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The character at text[i] (a surrogate pair counts as one); i moves past it.
char32_t NextChar(std::wstring_view text, std::size_t& i) {
    const auto unit = static_cast<char32_t>(text[i++]);
    if (IsHighSurrogate(unit) && i < text.size() && IsLowSurrogate(static_cast<char32_t>(text[i]))) {
        const auto low = static_cast<char32_t>(text[i++]);
        return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    return unit;
}

struct Line {
    std::size_t end = 0;   // one past the last character drawn
    std::size_t next = 0;  // where the following line starts
    int width = 0;
};

bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

Line NextLine(const LcdFont& font, std::wstring_view text, std::size_t begin, int width) {
    int lineWidth = 0;
    bool haveBreak = false;
    Line atBreak;  // the line cut at the last run of spaces
    std::size_t i = begin;
    while (i < text.size()) {
        const wchar_t c = text[i];
        if (IsLineBreak(c)) {
            const std::size_t next = i + (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n' ? 2 : 1);
            return {i, next, lineWidth};
        }
        if (c == L' ') {
            if (!haveBreak || atBreak.next != i) atBreak = {i, i, lineWidth};
            haveBreak = true;
            lineWidth += font.Find(U' ').advance;
            atBreak.next = ++i;  // spaces at a break hang past the line
            continue;
        }
        std::size_t after = i;
        const int advance = font.Find(NextChar(text, after)).advance;
        if (lineWidth + advance > width && i > begin) {
            if (haveBreak) return atBreak;
            return {i, i, lineWidth};  // a word wider than the line breaks inside
        }
        lineWidth += advance;
        i = after;
    }
    return {text.size(), text.size(), lineWidth};
}

void DrawLine(LcdCanvas& canvas, const LcdFont& font, std::wstring_view text, int x, int y,
              const os::Rect& clip) {
    std::size_t i = 0;
    while (i < text.size() && x < clip.right) {
        const LcdGlyph glyph = font.Find(NextChar(text, i));
        if (x + glyph.advance > clip.left) {
            if (glyph.run != nullptr) {
                const LcdGlyphRun& run = *glyph.run;
                for (int row = 0; row < run.height; ++row) {
                    const std::uint32_t bits = std::uint32_t{font.Row(glyph, row)} << 16;
                    ApplySpan(canvas, y + run.top + row, x + run.left, bits, run.width, clip, Op::kSet);
                }
            } else if (glyph.advance > 0) {
                OutlineIn(canvas, {x + 1, y + 2, x + glyph.advance - 1, y + font.height() - 2}, clip);
            }
        }
        x += glyph.advance;
    }
}

int AlignedX(const os::Rect& rect, int width, LcdHAlign align) {
    switch (align) {
        case LcdHAlign::kRight: return rect.right - width;
        case LcdHAlign::kCentre: return (rect.left + rect.right - width) / 2;
        case LcdHAlign::kLeft: break;
    }
    return rect.left;
}

}  // namespace

void FillWhite(LcdCanvas& canvas, const os::Rect& rect) {
    Fill(canvas, rect, CanvasRect(canvas), Op::kSet);
}

void FillBlack(LcdCanvas& canvas, const os::Rect& rect) {
    Fill(canvas, rect, CanvasRect(canvas), Op::kClear);
}

void InvertRect(LcdCanvas& canvas, const os::Rect& rect) {
    Fill(canvas, rect, CanvasRect(canvas), Op::kInvert);
}

void Outline(LcdCanvas& canvas, const os::Rect& rect) { OutlineIn(canvas, rect, CanvasRect(canvas)); }

void DrawIcon(LcdCanvas& canvas, const LcdIcon& icon, const os::Rect& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    const os::Rect clip = CanvasRect(canvas);
    for (int dy = 0; dy < height; ++dy) {
        const std::uint16_t source = icon.rows[static_cast<std::size_t>(dy) * 16 / height];
        if (width == 16) {
            ApplySpan(canvas, rect.top + dy, rect.left, std::uint32_t{source} << 16, 16, clip, Op::kCopy);
            continue;
        }
        for (int x0 = 0; x0 < width; x0 += 32) {
            const int span = std::min(32, width - x0);
            std::uint32_t bits = 0;
            for (int dx = 0; dx < span; ++dx) {
                const int sx = static_cast<int>(static_cast<long long>(x0 + dx) * 16 / width);
                if (source & (0x8000 >> sx)) bits |= 0x80000000u >> dx;
            }
            ApplySpan(canvas, rect.top + dy, rect.left + x0, bits, span, clip, Op::kCopy);
        }
    }
}

int LineWidth(const LcdFont& font, std::wstring_view text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size();) width += font.Find(NextChar(text, i)).advance;
    return width;
}

LcdTextSize MeasureText(const LcdFont& font, std::wstring_view text, int width, bool wordBreak) {
    if (!wordBreak) return {LineWidth(font, text), font.height()};
    LcdTextSize size;
    for (std::size_t begin = 0; begin < text.size();) {
        const Line line = NextLine(font, text, begin, width);
        size.width = std::max(size.width, line.width);
        size.height += font.height();
        begin = line.next;
    }
    return size;
}

void DrawText(LcdCanvas& canvas, const LcdFont& font, std::wstring_view text, const os::Rect& rect,
              LcdTextFormat format) {
    const os::Rect clip = Intersect(rect, CanvasRect(canvas));
    if (clip.right <= clip.left || clip.bottom <= clip.top) return;
    if (!format.wordBreak) {
        int y = rect.top;
        if (format.vertical == LcdVAlign::kBottom) y = rect.bottom - font.height();
        if (format.vertical == LcdVAlign::kCentre)
            y = rect.top + (rect.bottom - rect.top - font.height()) / 2;
        DrawLine(canvas, font, text, AlignedX(rect, LineWidth(font, text), format.horizontal), y, clip);
        return;
    }
    int y = rect.top;
    for (std::size_t begin = 0; begin < text.size() && y < clip.bottom; y += font.height()) {
        const Line line = NextLine(font, text, begin, rect.right - rect.left);
        DrawLine(canvas, font, text.substr(begin, line.end - begin),
                 AlignedX(rect, line.width, format.horizontal), y, clip);
        begin = line.next;
    }
}

}  // namespace talvio
